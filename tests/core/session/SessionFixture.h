// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A declaration session over a temporary program folder, with a scripted user.
#include <gtest/gtest.h>
#include <map>

#include "core/base/ByteStream.h"
#include "core/session/DeclarationSession.h"
#include "core/store/DetailRecord.h"
#include "core/store/WorkspaceJournal.h"
#include "tests/TestUtil.h"
#include "tests/core/session/ScriptedUI.h"

namespace edlt::test {

class SessionTest : public ::testing::Test {
protected:
    TempDir dir;
    ScriptedUI ui;
    std::unique_ptr<DeclarationSession> session;
    size_t journalEntryLimit = 4096;
    std::filesystem::path workspaceParent;  // the program folder when empty

    void SetUp() override
    {
        std::filesystem::create_directories(dir / "Addon");
        writeFile(dir / "Addon" / "typeofinc.txt", "10" + G("Τακτικές αποδοχές") + "\r\n");
        session = makeSession();
        ASSERT_TRUE(session->start());
    }

    std::unique_ptr<DeclarationSession> makeSession(bool askAboutFindings = false)
    {
        DeclarationSession::Options o;
        o.askAboutFindings = askAboutFindings;
        o.programFolder = dir.path();
        o.today = [] { return CalendarDate{2026, 12, 7}; };
        o.journalEntryLimit = journalEntryLimit;
        o.workspaceParent = workspaceParent;
        return std::make_unique<DeclarationSession>(ui, o);
    }

    // New declaration with a valid business header.
    void newDeclaration()
    {
        ui.answers.push_back(Answer::Yes);
        if (session->modified()) ui.answers.push_back(Answer::No);  // the unsaved changes given up
        session->newDeclaration();
        session->setHeaderText(HeaderField::YearOfData, "2025");
        session->setHeaderText(HeaderField::AFM, "123456783");
        session->setHeaderText(HeaderField::CompanyName, G("ΕΤΑΙΡΕΙΑ ΑΕ"));
        ui.clear();
    }

    using Fields = std::map<detail::Field, std::string>;

    // Types a new line and leaves the store to post it; returns whether it was stored.
    bool addLine(const Fields& fields)
    {
        FixedWidthTable& ds = session->detailStore();
        ds.appendNew();
        for (const auto& [f, v] : fields) ds.setFieldValue(static_cast<int>(f), v);
        return session->postPendingEdit();
    }

    bool addLine(const std::string& afm, const std::string& type, const std::string& gross,
                 const std::string& deductions, const std::string& net, Fields more = {})
    {
        more[detail::AFM] = afm;
        more[detail::TypeInc] = type;
        more[detail::AkaInc] = gross;
        more[detail::Kratiseis] = deductions;
        more[detail::Kathares] = net;
        return addLine(more);
    }

    // What a kill now would leave to recover: the file of lines with its journal applied.
    std::vector<std::string> workspaceLines()
    {
        const Workspace& ws = session->workspaceFiles();
        if (auto lines = WorkspaceJournal::replayed(ws.record2(), ws.journal())) return *lines;
        std::vector<std::string> lines;
        FileSource source(ws.record2());
        LineReader reader(source);
        for (std::string l; reader.next(l);) lines.push_back(l);
        return lines;
    }

    std::string field(long record, detail::Field f)
    {
        return session->detailStore().fieldValueAt(static_cast<size_t>(record - 1), f);
    }
};

}  // namespace edlt::test
