// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The whole declaration through every check that storing and saving run, at once and
// without asking: what the command line's check prints and the window's findings list
// shows. Nothing in the declaration changes by checking.
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/session/DeclarationView.h"
#include "core/session/UserInterface.h"
#include "core/store/FixedWidthTable.h"

namespace edlt {

struct CheckFinding {
    long line = 0;                           // the 1-based detail line; 0 for the declarant
    std::string message;                     // Windows-1253, exactly as the rule shows it
    bool question = false;                   // a question the rule would ask, not a refusal
    int field = -1;                          // the detail field the message is about, -1 for none
    std::optional<HeaderField> headerField;  // for the declarant's findings
    bool conversion = false;                 // a value that is not a number (the conversion error)
};

struct CheckResult {
    // Each line's findings in line order, then the declarant's, then the duplicate pairs.
    std::vector<CheckFinding> findings;
    // Lines with at least one refusal (the declarant counts as one line).
    size_t refusedLines() const;
    size_t questions() const;
};

// Called between lines with how many are done, of how many.
using CheckProgress = std::function<void(size_t done, size_t total)>;

// Every finding about the declaration: each stored line through the line
// validation as it runs when the line is stored (questions are findings, taken as answered
// yes; the first refusal ends the line; an amount that is not a number is a finding of its
// line), the declarant checks of Save As, and every pair of lines i < j sharing tax number
// and income type (reported on line j, in order of i and then j).
CheckResult checkDeclaration(const DeclarationView& declaration, const CheckProgress& progress = {});

// The last check's result, kept while nothing it depends on changes: the lines, the header,
// the date. Save As's question reuses what the findings list showed. A large declaration's
// lines can be checked on other threads while the window goes on; a change to the lines
// stops that check before the change is made. Its owner adds it as an observer of the
// declaration's detail store, which is how it learns of those changes.
class DeclarationChecker : public DataSetObserver {
public:
    explicit DeclarationChecker(const DeclarationView& declaration);
    ~DeclarationChecker() override;
    DeclarationChecker(const DeclarationChecker&) = delete;
    DeclarationChecker& operator=(const DeclarationChecker&) = delete;

    void dataSetAboutToChange(const DataSetChange& change) override;
    void dataSetChanged(const DataSetChange& change) override;
    bool followsFields() const override { return false; }
    // Whether result() would have to check again.
    bool stale() const;
    // Counts the changes to the stored lines: a command that changed it loaded or stored lines.
    unsigned long changes() const { return changes_; }
    // Waits for a check started in the background (telling its progress), or checks now.
    const CheckResult& result(const CheckProgress& progress = {});
    long lineCount() const;
    // Few enough lines to check faster than a please-wait window could appear.
    bool quick() const;

    // Starts checking the lines on other threads; false when the result is current, a
    // check is already running or no thread could be started. ready is called on one of
    // those threads once collect() can take the result in. A change to the lines stops the
    // check before it is made (a finished one is dropped): collect() then takes nothing.
    bool startInBackground(std::function<void()> ready);
    bool checkingInBackground() const { return background_ != nullptr; }
    // Takes a finished background check in (the declarant's checks are run here); false
    // when none has finished. Throws what the check threw.
    bool collect();

private:
    struct Background;
    void stopBackground();
    void takeBackground();

    const DeclarationView& declaration_;
    std::optional<CheckResult> result_;
    std::string checkedHeader_;
    int checkedYear_ = 0;
    unsigned long changes_ = 0;
    std::unique_ptr<Background> background_;
};

// The checker's result; a long new check runs in the please-wait window, with its progress.
const CheckResult& checkWithPleaseWait(DeclarationChecker& checker, UserInterface& ui);

// The question Save As asks while refusals remain.
std::string saveWithFindingsQuestion(size_t refusedLines);
// "N γραμμές με προβλήματα" ("1 γραμμή με προβλήματα")
std::string linesWithProblemsText(size_t refusedLines);

// The findings as a spreadsheet file: ';'-separated, UTF-8 with a byte-order mark, a
// header row, one row a finding (line, tax number, surname, kind, message).
std::string findingsCsv(const CheckResult& result, const DeclarationView& declaration);
// A finding's tax number and surname: the line's, or the declarant's for line 0.
std::string findingAfm(const CheckFinding& finding, const DeclarationView& declaration);
std::string findingSurname(const CheckFinding& finding, const DeclarationView& declaration);
// "Λάθος" or "Ερώτηση"
const std::string& findingKindText(const CheckFinding& finding);

}  // namespace edlt
