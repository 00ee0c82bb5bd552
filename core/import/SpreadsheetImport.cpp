// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/SpreadsheetImport.h"

#include <algorithm>
#include <optional>

#include "core/base/Amount.h"
#include "core/base/Convert.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/rules/CheckAFM.h"
#include "core/session/LongWork.h"
#include "core/session/UndoHistory.h"
#include "core/session/UserInterface.h"
#include "core/store/DetailRecord.h"

namespace edlt {
namespace {

using namespace detail;

constexpr const std::array<Field, 20>& columnFields = sheetColumns;

// A cell beyond the block: the reader of the sheet would have failed there.
struct OutsideBlock {};

std::string_view cell(const sheet::Block& b, size_t row, size_t column)
{
    if (row >= b.rows || column > b.cols) throw OutsideBlock{};
    return b.at(row, column - 1);
}

std::string lineMessage(size_t row, const char* utf8Tail)
{
    return cp1253::lit("Λάθος στη γραμμή ") + std::to_string(row) + cp1253::lit(utf8Tail);
}

bool isImportTypeInc(std::string_view code)
{
    static constexpr std::array<std::string_view, 13> codes = {"10", "11", "12", "13", "14", "15", "16",
                                                               "20", "21", "22", "23", "24", "25"};
    for (std::string_view c : codes)
        if (c == code) return true;
    return false;
}

// A cell longer than its field would be cut into another value: refused like a bad number.
bool fits(std::string_view text, Field f)
{
    return text.size() <= static_cast<size_t>(fields[f].width);
}

// Whether text is already the form an amount is stored in, as most cells are: a whole
// number without leading zeros (at most twelve digits), then perhaps a comma and one or
// two decimals, the last not a zero. Rounding and writing it again would give it back.
bool alreadyNormal(std::string_view text)
{
    const size_t comma = text.find(',');
    const std::string_view whole = text.substr(0, comma);
    if (whole.empty() || whole.size() > 12 || (whole[0] == '0' && whole.size() > 1)) return false;
    for (char c : whole)
        if (c < '0' || c > '9') return false;
    if (comma == std::string_view::npos) return true;
    const std::string_view decimals = text.substr(comma + 1);
    if (decimals.empty() || decimals.size() > 2 || decimals.back() == '0') return false;
    for (char c : decimals)
        if (c < '0' || c > '9') return false;
    return true;
}

// An amount cell as it is stored: rounded to cents as a typed line would be, so that
// 44,44416 goes in as 44,44 instead of being cut to the field. nullopt when it is no number.
// The cell's own bytes where it is already in that form, else the text written in scratch.
std::optional<std::string_view> normalisedAmount(const sheet::Block& b, size_t row, size_t column, std::string& scratch)
{
    const std::string_view text = cell(b, row, column);
    if (alreadyNormal(text)) return text;
    auto amount = Amount::tryParse(text);
    if (!amount) return std::nullopt;
    scratch = amount->text();
    return scratch;
}

std::string columnMessage(size_t row, size_t column, const char* utf8Tail)
{
    return lineMessage(row, " του αρχείου: Η στήλη Νο ") + std::to_string(column) + cp1253::lit(utf8Tail);
}

}  // namespace

SpreadsheetImport::SpreadsheetImport(DeclarationSession& session, UserInterface& ui) : session_(session), ui_(ui) {}

std::string SpreadsheetImport::fileFilter()
{
    return cp1253::lit(
        "Φύλλα εργασίας (*.xls, *.xlsx, *.ods, *.csv)|*.xls;*.xlsx;*.ods;*.csv|"
        "Excel 97-2003 (*.xls)|*.xls|Excel (*.xlsx)|*.xlsx|OpenDocument (*.ods)|*.ods|Κείμενο CSV (*.csv)|*.csv");
}

const std::string& SpreadsheetImport::openFailureMessage()
{
    static const std::string m = cp1253::lit(
        "Υπήρξε πρόβλημα κατά το άνοιγμα του αρχείου. Βεβαιωθείτε ότι έχετε εγκατεστημένο Excel στον υπολογιστή σας "
        "και/ή το αρχείο που προσπαθείτε να ανοίξετε είναι αρχείο Excel.");
    return m;
}

const std::string& SpreadsheetImport::stopMessage()
{
    static const std::string m =
        cp1253::lit("Παρουσιάστηκαν σφάλματα κατά την εισαγωγή των στοιχείων. Η εισαγωγή διακόπηκε");
    return m;
}

std::string SpreadsheetImport::readFailureMessage(const std::exception& error)
{
    const auto* sheetError = dynamic_cast<const sheet::SheetError*>(&error);
    if (sheetError && !sheetError->cause().empty()) return openFailureMessage() + "\n" + sheetError->cause();
    return openFailureMessage();
}

std::string SpreadsheetImport::hiddenSheetQuestion(const std::string& cp1253Name)
{
    return cp1253::lit("Το πρώτο φύλλο «") + cp1253Name + cp1253::lit("» είναι κρυφό. Να εισαχθούν τα στοιχεία του;");
}

SpreadsheetImport::Outcome SpreadsheetImport::fail(const std::string& message)
{
    ui_.showNotice(message);
    return Outcome::Unreadable;
}

SpreadsheetImport::Outcome SpreadsheetImport::chooseAndImport()
{
    if (!session_.postPendingEdit()) return Outcome::PendingRefused;
    auto path = ui_.chooseFileToOpen({session_.programFolder(), fileFilter(), "", "", false});
    if (!path) return Outcome::Cancelled;
    return importFile(*path);
}

SpreadsheetImport::Outcome SpreadsheetImport::importFile(const std::filesystem::path& sheetPath)
{
    sheet::ReadResult sheet;
    try {
        sheet = sheet::readSpreadsheet(sheetPath, [this](const std::string& name) {
            return askYesNoDefaultNo(ui_, hiddenSheetQuestion(name)) == Answer::Yes;
        });
    } catch (const std::exception& e) {
        return fail(readFailureMessage(e));
    }
    return importBlock(sheet);
}

std::optional<std::string> SpreadsheetImport::validateBlock(const sheet::ReadResult& sheet)
{
    const sheet::Block& b = sheet.block;
    auto problem = sheet.problems.begin();
    std::string scratch;
    for (size_t i = 0; i < b.rows; ++i) {
        const size_t row = i + 1;
        if (problem != sheet.problems.end() && problem->row == row) {
            return cp1253::lit("Λάθος στη γραμμή ") + std::to_string(row) + cp1253::lit(" του αρχείου: ") +
                   problem->message + cp1253::lit(". Διορθώστε το για να προχωρήσετε στην εισαγωγή.");
        }
        for (size_t column = 1; column <= std::min(columnFields.size(), b.cols); ++column)
            if (b.formulaWithoutValue(i, column - 1))
                return columnMessage(row, column,
                                     " περιέχει τύπο χωρίς αποθηκευμένη τιμή. Ανοίξτε και αποθηκεύστε το αρχείο σε "
                                     "πρόγραμμα λογιστικών φύλλων και δοκιμάστε ξανά.");
        if (!checkAFM(cell(b, i, 1)))
            return lineMessage(row,
                               " του αρχείου: H στήλη ΑΦΜ (Νο 1) δεν περιέχει αποδεκτό ΑΦΜ. Διορθώστε το για να "
                               "προχωρήσετε στην εισαγωγή.");
        if (!isImportTypeInc(cell(b, i, 9)))
            return lineMessage(row,
                               " του αρχείου: Η στήλη Είδος Αποδοχών (Νο 9) πρέπει να έχει τιμή 10-15,16,20-25. "
                               "Διορθώστε το για να προχωρήσετε στην εισαγωγή.");
        const std::string_view days = cell(b, i, 18);
        if (!tryStrToInt(days) || !fits(days, Hmeres) || b.cut(i, 17))
            return lineMessage(row,
                               " του αρχείου: Η στήλη Σύνολο Ημερών Απασχόλησης (Νο 18) πρέπει να έχει ακέραια "
                               "τιμή <=365. Διορθώστε το για να προχωρήσετε στην εισαγωγή.");
        for (size_t column : {10u, 11u, 12u, 13u, 14u, 15u, 16u, 19u, 20u}) {
            auto amount = normalisedAmount(b, i, column, scratch);
            if (!amount)
                return columnMessage(row, column,
                                     " πρέπει να είναι αριθμός (η υποδιαστολή είναι το κόμμα). Διορθώστε το για να "
                                     "προχωρήσετε στην εισαγωγή.");
            // A number cut by the reader is longer than any field.
            if (!fits(*amount, columnFields[column - 1]) || b.cut(i, column - 1))
                return lineMessage(row, " του αρχείου: Το ποσό της στήλης Νο ") + std::to_string(column) +
                       cp1253::lit(" δεν χωράει στο πεδίο του. Διορθώστε το για να προχωρήσετε στην εισαγωγή.");
        }
    }
    return std::nullopt;
}

SpreadsheetImport::Outcome SpreadsheetImport::importBlock(const sheet::ReadResult& sheet)
{
    stoppedRow_.reset();
    const sheet::Block& b = sheet.block;
    const std::string narrow = openFailureMessage() + "\n" + cp1253::lit("Το φύλλο έχει λιγότερες από 20 στήλες.");
    // A single cell (or none) gives no block at all.
    if (b.rows * b.cols == 0) return fail(openFailureMessage() + "\n" + cp1253::lit("Το φύλλο είναι κενό."));
    if (b.rows * b.cols == 1) return fail(narrow);
    try {
        if (auto message = validateBlock(sheet)) {
            ui_.showNotice(*message);
            return Outcome::RowRefused;
        }
    } catch (const OutsideBlock&) {
        return fail(narrow);
    } catch (const ConvertError&) {
        return fail();
    }

    FixedWidthTable& ds = session_.detailStore();
    Outcome outcome = Outcome::Imported;
    std::string scratch;
    // A long import shows how far it got; the window goes before the closing message.
    std::optional<LongWork> work(std::in_place, ui_, true);
    auto deferral = session_.deferWorkspace();
    {
        // The grid is told once at the end instead of row by row.
        const ControlsDisabled quiet(ds);
        const UndoHistory::ImportGroup oneStep(session_.undoHistory());
        try {
            ds.moveFirst();
            for (size_t i = 0; i < b.rows; ++i) {
                if (i % 1024 == 0) work->progress(i, b.rows);
                ds.insert();
                for (size_t c = 0; c < columnFields.size(); ++c) {
                    if (isAmount(columnFields[c]))
                        ds.setFieldValue(columnFields[c], *normalisedAmount(b, i, c + 1, scratch));
                    else
                        ds.setFieldValue(columnFields[c], b.at(i, c));
                }
                if (!session_.postCheckedLine()) {
                    outcome = Outcome::Stopped;
                    // The block starts at A1: its row i is the sheet's row i + 1.
                    stoppedRow_ = cp1253::lit("Γραμμή ") + std::to_string(i + 1) + cp1253::lit(" του φύλλου, ΑΦΜ ") +
                                  std::string(b.at(i, 0));
                    break;
                }
                session_.setModified(true);
            }
        } catch (const std::exception&) {
            outcome = Outcome::Unreadable;
        }
    }
    work.reset();
    if (outcome == Outcome::Stopped) ui_.showNotice(stopMessage());
    if (outcome == Outcome::Unreadable) ui_.showNotice(openFailureMessage());
    session_.guarded([&] { deferral.finish(); });
    if (outcome == Outcome::Imported) session_.setModified(true);
    session_.sessionChangedNotify();
    return outcome;
}

}  // namespace edlt
