// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The protocol every command of the "Εκτύπωση" menu runs: post the line being edited,
// write the report page under one guard, and hand it to the print window; any failure on
// the way ends in the one preparation message.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/reports/BackgroundPage.h"

#include "core/session/DeclarationSession.h"
#include "core/session/UserInterface.h"

namespace edlt {

enum class ReportKind { FirstPage, DetailedPayments, Totals };

// What the print window must show for a report.
struct ReportWindowRequest {
    std::filesystem::path pagePath;  // the full path of the page file
    std::string title;               // the print window's title, Windows-1253
    bool landscapeHint = false;      // whether the landscape hint is shown
    std::string pdfName;             // the PDF file name proposed, Windows-1253
    // The page still being written while the window shows its report; null when the page
    // is whole on disk before the window gets it.
    std::shared_ptr<BackgroundPage> writing;
};

// When the report's page is written: whole before the window shows it, or (the detailed
// payments page, whose report the window draws from the open declaration) on a thread of
// its own while the window already shows it.
enum class PageWriting { BeforeShowing, WhileShowing };

namespace report_messages {
// "Υπήρξε κάποιο πρόβλημα κατά την προετοιμασία της εκτύπωσης"
const std::string& preparationProblem();
// "Υπήρξε ένα πρόβλημα κατά την εκτύπωση. Βεβαιωθείτε ότι έχετε ορίσει κάποιον εκτυπωτή"
const std::string& printProblem();
}  // namespace report_messages

class ReportCommand {
public:
    // Shows the print window for a written page: navigates, sets title and hint, and returns
    // when the user closes it. Throws Error when the page cannot be shown.
    using ShowPage = std::function<void(const ReportWindowRequest&)>;

    ReportCommand(DeclarationSession& session, UserInterface& ui) : session_(session), ui_(ui) {}

    // The whole protocol. False when nothing was shown: the pending line was refused (its
    // message already shown), or a step failed and the preparation message was shown. A page
    // written while showing that fails ends the same way once show returns (the window closes
    // when request.writing tells it the writing failed).
    bool run(ReportKind kind, const ShowPage& show, PageWriting writing = PageWriting::BeforeShowing);

    // Writes the report's page for the open declaration at path (the first page takes its
    // template blocks from the program's Addon folder), as the command does but without
    // posting or showing anything. Throws Error on any failure; the old file then stays.
    void writePage(ReportKind kind, const std::filesystem::path& path);

    // The page file relative to the program's folder, the window title and the hint.
    static std::filesystem::path relativePagePath(ReportKind kind);
    static ReportWindowRequest windowRequest(ReportKind kind, const std::filesystem::path& programFolder);
    // "<AFM>-1η σελίδα.pdf", "<AFM>-αναλυτικές αμοιβές.pdf", "<AFM>-σύνολα.pdf".
    static std::string proposedPdfName(ReportKind kind, const std::string& afm);
    // Where the first page's template blocks and pictures are installed.
    static std::filesystem::path firstPageTemplateFolder(const std::filesystem::path& programFolder);
    static std::filesystem::path firstPagePicturesFolder(const std::filesystem::path& programFolder);

    // Copies the first page's pictures into pageFolder's pictures folder (a private folder,
    // created when missing), where the page names them; each a new file of the user's own.
    // Throws Error on failure, a pictures folder that is not private among them.
    static void copyFirstPagePictures(const std::filesystem::path& from, const std::filesystem::path& pageFolder);

private:
    void writeDetailedPayments(ByteSink& sink);
    // Refreshes the workspace here, then writes the page at path on another thread from
    // copies of what it needs.
    std::shared_ptr<BackgroundPage> startDetailedPayments(const std::filesystem::path& path);

    DeclarationSession& session_;
    UserInterface& ui_;
};

}  // namespace edlt
