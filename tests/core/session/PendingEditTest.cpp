// SPDX-License-Identifier: GPL-3.0-or-later
// Every command that first stores the line being edited: when that store fails on a
// conversion or on the workspace file, the user is told once, the command does nothing,
// and the line is still being edited.
#include <gtest/gtest.h>

#include "core/import/SpreadsheetImport.h"
#include "core/reports/ReportCommand.h"
#include "core/session/Find.h"
#include "tests/core/session/SessionFixture.h"

using namespace edlt;
using namespace edlt::test;
namespace fs = std::filesystem;

namespace {

struct Command {
    const char* name;
    std::function<void(DeclarationSession&, ScriptedUI&)> run;
};

// A command that went on would ask for a file, show a dialog or a page, or sort: the
// scripted user fails the test on a file dialog it was not told of.
const std::vector<Command> commands = {
    {"Save As",
     [](DeclarationSession& s, ScriptedUI&) { EXPECT_EQ(s.saveAs(), DeclarationSession::SaveResult::CheckFailed); }},
    {"sort by tax number", [](DeclarationSession& s, ScriptedUI&) { s.SortByTaxNumber(); }},
    {"sort by surname", [](DeclarationSession& s, ScriptedUI&) { s.SortBySurname(); }},
    {"first page",
     [](DeclarationSession& s, ScriptedUI& ui) {
         EXPECT_FALSE(ReportCommand(s, ui).run(ReportKind::FirstPage, [](const auto&) { ADD_FAILURE(); }));
     }},
    {"detailed payments",
     [](DeclarationSession& s, ScriptedUI& ui) {
         EXPECT_FALSE(ReportCommand(s, ui).run(ReportKind::DetailedPayments, [](const auto&) { ADD_FAILURE(); }));
     }},
    {"totals",
     [](DeclarationSession& s, ScriptedUI& ui) {
         EXPECT_FALSE(ReportCommand(s, ui).run(ReportKind::Totals, [](const auto&) { ADD_FAILURE(); }));
     }},
    {"find",
     [](DeclarationSession& s, ScriptedUI& ui) {
         EXPECT_EQ(runFindCommand(s, ui,
                                  [] {
                                      ADD_FAILURE() << "dialog shown";
                                      FindRequest cancelled;
                                      cancelled.Cancelled = true;
                                      return cancelled;
                                  }),
                   FindOutcome::LineRefused);
     }},
    {"import",
     [](DeclarationSession& s, ScriptedUI& ui) {
         EXPECT_EQ(SpreadsheetImport(s, ui).chooseAndImport(), SpreadsheetImport::Outcome::PendingRefused);
     }},
};

enum class Fault { UnconvertibleAmount, WorkspaceUnwritableNewLine, WorkspaceUnwritableChangedLine };
const char* const faultNames[] = {"Unconvertible", "UnwritableNew", "UnwritableChanged"};

// Readable parameters in the test names' listing.
void PrintTo(const Command& c, std::ostream* os)
{
    *os << c.name;
}
void PrintTo(Fault f, std::ostream* os)
{
    *os << faultNames[static_cast<int>(f)];
}

class PendingEditTest : public SessionTest, public ::testing::WithParamInterface<std::tuple<Command, Fault>> {};

TEST_P(PendingEditTest, AFailedStoreIsToldOnceAndTheLineStaysInEditing)
{
    const auto& [command, fault] = GetParam();
    newDeclaration();
    // Stored out of both sort orders, so a sort that ran would show.
    ASSERT_TRUE(addLine("222222228", "10", "1000", "0", "1000", {{detail::SurName, G("ΒΗΤΑ")}}));
    ASSERT_TRUE(addLine("012345670", "10", "1000", "0", "1000", {{detail::SurName, G("ΑΛΦΑ")}}));
    FixedWidthTable& ds = session->detailStore();
    const std::vector<std::string> stored = {std::string(ds.lineAt(0)), std::string(ds.lineAt(1))};
    const fs::path record2 = session->workspaceFiles().record2();
    const fs::path journal = session->workspaceFiles().journal();

    if (fault == Fault::WorkspaceUnwritableChangedLine) {
        ds.setRecordNumber(1);
        ds.edit();
        ds.setFieldValue(detail::SurName, G("ΓΑΜΜΑ"));
    } else {
        ds.appendNew();
        for (auto [f, v] : {std::pair{detail::AFM, "111111114"},
                            {detail::TypeInc, "10"},
                            {detail::AkaInc, "1000"},
                            {detail::Kratiseis, "0"},
                            {detail::Kathares, "1000"}})
            ds.setFieldValue(f, v);
    }
    if (fault == Fault::UnconvertibleAmount) {
        ds.setFieldValue(detail::AkaInc, "12.5");
    } else {
        // Neither the journal a store appends to nor the file a compaction rewrites.
        for (const fs::path& p : {record2, journal}) {
            fs::remove(p);
            fs::create_directory(p);
        }
    }
    const std::string typed(ds.currentText());
    const std::string typedAfm = ds.fieldValue(detail::AFM), typedGross = ds.fieldValue(detail::AkaInc);

    ui.clear();
    command.run(*session, ui);

    const std::vector<std::string> shown = ui.messages();
    ASSERT_EQ(shown.size(), 1u) << command.name;
    if (fault == Fault::UnconvertibleAmount) EXPECT_EQ(shown[0], "E '12.5' is not a valid floating point value");
    else
        EXPECT_TRUE(shown[0].rfind("E ", 0) == 0 && (shown[0].find(record2.string()) != std::string::npos ||
                                                     shown[0].find(journal.string()) != std::string::npos))
            << shown[0];
    EXPECT_EQ(ui.log.back(), "focus line");
    EXPECT_FALSE(session->lastLineAccepted());
    EXPECT_FALSE(fs::exists(dir / "DLT.htm"));
    EXPECT_FALSE(fs::exists(dir / "Addon" / "E7FirstPageFinal.htm"));

    EXPECT_EQ(ds.state(),
              fault == Fault::WorkspaceUnwritableChangedLine ? DataSetState::EditState : DataSetState::InsertState);
    if (fault == Fault::UnconvertibleAmount) {
        // As a store started from the grid leaves it: the typed values, filled in.
        EXPECT_EQ(ds.fieldValue(detail::AFM), typedAfm);
        EXPECT_EQ(ds.fieldValue(detail::AkaInc), typedGross);
    } else {
        EXPECT_EQ(ds.currentText().substr(0, typed.size()), typed);
    }
    ASSERT_EQ(ds.countRecords(), 2);
    EXPECT_EQ(ds.lineAt(0), stored[0]);
    EXPECT_EQ(ds.lineAt(1), stored[1]);
    EXPECT_EQ(session->recordCounterText(), G("2 Εγγραφές-2 μοναδικοί ΑΦΜ"));
    EXPECT_EQ(session->totals()[0], "2000");

    if (fault == Fault::UnconvertibleAmount) return;
    // Once the workspace can be written, the same line is stored as typed.
    for (const fs::path& p : {record2, journal}) fs::remove(p);
    writeFile(record2, "");
    ui.clear();
    ASSERT_TRUE(session->postPendingEdit());
    EXPECT_TRUE(ui.messages().empty());
    // What a kill now would leave to recover holds every line.
    std::vector<std::string> inMemory;
    for (size_t i = 0; i < static_cast<size_t>(ds.countRecords()); ++i) inMemory.emplace_back(ds.lineAt(i));
    EXPECT_EQ(workspaceLines(), inMemory);
    if (fault == Fault::WorkspaceUnwritableChangedLine) EXPECT_EQ(ds.fieldValueAt(0, detail::SurName), G("ΓΑΜΜΑ"));
    else
        EXPECT_EQ(ds.fieldValueAt(2, detail::AFM), "111111114");
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<Command, Fault>>& info)
{
    std::string name = std::get<0>(info.param).name;
    for (char& c : name)
        if (c == ' ') c = '_';
    return name + "_" + faultNames[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, PendingEditTest,
                         ::testing::Combine(::testing::ValuesIn(commands),
                                            ::testing::Values(Fault::UnconvertibleAmount,
                                                              Fault::WorkspaceUnwritableNewLine,
                                                              Fault::WorkspaceUnwritableChangedLine)),
                         caseName);

}  // namespace
