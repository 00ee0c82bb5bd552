// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/reports/ReportCommand.h"

#include "core/base/ByteStream.h"
#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/reports/FirstPage.h"
#include "core/reports/ReportPages.h"
#include "core/store/AtomicFile.h"
#include "core/store/CopyFile.h"
#include "core/store/PrivateFolder.h"

namespace edlt {

namespace report_messages {
const std::string& preparationProblem()
{
    static const std::string m = cp1253::lit("Υπήρξε κάποιο πρόβλημα κατά την προετοιμασία της εκτύπωσης");
    return m;
}
const std::string& printProblem()
{
    static const std::string m =
        cp1253::lit("Υπήρξε ένα πρόβλημα κατά την εκτύπωση. Βεβαιωθείτε ότι έχετε ορίσει κάποιον εκτυπωτή");
    return m;
}
}  // namespace report_messages

std::filesystem::path ReportCommand::relativePagePath(ReportKind kind)
{
    if (kind == ReportKind::FirstPage) return std::filesystem::path("Addon") / "E7FirstPageFinal.htm";
    return "DLT.htm";
}

ReportWindowRequest ReportCommand::windowRequest(ReportKind kind, const std::filesystem::path& programFolder)
{
    ReportWindowRequest r;
    r.pagePath = programFolder / relativePagePath(kind);
    switch (kind) {
    case ReportKind::FirstPage: r.title = cp1253::lit("Εκτύπωση 1ης Σελίδας"); break;
    case ReportKind::DetailedPayments: r.title = cp1253::lit("Εκτύπωση"); break;
    case ReportKind::Totals: r.title = cp1253::lit("Εκτύπωση Συνόλων"); break;
    }
    r.landscapeHint = kind == ReportKind::DetailedPayments;
    return r;
}

std::string ReportCommand::proposedPdfName(ReportKind kind, const std::string& afm)
{
    std::string name;
    // What was typed as the tax number names the file: nothing of it may name a folder.
    for (char c : afm)
        if (c != '/' && static_cast<unsigned char>(c) >= 0x20) name += c;
    if (!name.empty()) name += '-';
    switch (kind) {
    case ReportKind::FirstPage: name += cp1253::lit("1η σελίδα"); break;
    case ReportKind::DetailedPayments: name += cp1253::lit("αναλυτικές αμοιβές"); break;
    case ReportKind::Totals: name += cp1253::lit("σύνολα"); break;
    }
    return name + ".pdf";
}

std::filesystem::path ReportCommand::firstPageTemplateFolder(const std::filesystem::path& programFolder)
{
    return programFolder / "Addon" / reports::FirstPageTemplate::folderName;
}

std::filesystem::path ReportCommand::firstPagePicturesFolder(const std::filesystem::path& programFolder)
{
    return programFolder / "Addon" / reports::FirstPageTemplate::picturesFolderName;
}

void ReportCommand::copyFirstPagePictures(const std::filesystem::path& from, const std::filesystem::path& pageFolder)
{
    // Reached through the folder as checked: a link put in its place later leads nowhere.
    const PrivateFolder pictures = PrivateFolder::open(pageFolder / reports::FirstPageTemplate::picturesFolderName);
    const std::filesystem::path to = pictures.reach();
    std::error_code ec;
    std::filesystem::directory_iterator it(from, ec);
    if (ec) throw Error(format("Cannot open file \"%s\". %s", {cp1253::pathText(from), systemErrorText(ec.value())}));
    for (const auto& entry : it) {
        if (!entry.is_regular_file()) continue;
        removeUnlessPrivateFile(to / entry.path().filename());
        copyFile(entry.path(), to / entry.path().filename());
    }
}

bool ReportCommand::run(ReportKind kind, const ShowPage& show, PageWriting writing)
{
    if (!session_.postPendingEdit()) return false;
    ReportWindowRequest request = windowRequest(kind, session_.programFolder());
    request.pdfName = proposedPdfName(kind, session_.header().AFM);
    // A user's pages go to their own folder when the session names one (the installed data is read-only).
    const bool ownFolder = session_.pageFolder() != session_.programFolder();
    std::filesystem::path page = request.pagePath;
    if (ownFolder) {
        // Written through the folder the session holds; shown by the folder's own name.
        page = session_.pageFolder() / page.filename();
        request.pagePath = cp1253::shownPath(page);
    }
    try {
        // A page someone else made or could read is never written into: a new one is made.
        if (ownFolder) removeUnlessPrivateFile(page);
        if (writing == PageWriting::WhileShowing && kind == ReportKind::DetailedPayments)
            request.writing = startDetailedPayments(page);
        else
            writePage(kind, page);
        if (ownFolder && kind == ReportKind::FirstPage)
            copyFirstPagePictures(firstPagePicturesFolder(session_.programFolder()), session_.pageFolder());
        show(request);
        // A page that failed after the window opened is a failed preparation all the same.
        if (request.writing) request.writing->rethrowFailure();
        return true;
    } catch (const Error&) {
    } catch (const std::exception&) {
        // A file system or memory failure is a failed preparation like any other.
    }
    // The session may change once the command returns: the writing ends first.
    if (request.writing) request.writing->wait();
    ui_.showNotice(report_messages::preparationProblem());
    return false;
}

void ReportCommand::writePage(ReportKind kind, const std::filesystem::path& path)
{
    const HeaderFields& header = session_.header();
    const TotalsTexts& totals = session_.totals();
    if (kind == ReportKind::FirstPage) {
        const auto blocks = reports::FirstPageTemplate::load(firstPageTemplateFolder(session_.programFolder()));
        AtomicFileWriter file(path, AtomicFileWriter::Durability::ProcessSafe);
        reports::writeFirstPage(file, blocks, header, totals);
        file.commit();
        return;
    }
    AtomicFileWriter file(path, AtomicFileWriter::Durability::ProcessSafe);
    if (kind == ReportKind::DetailedPayments) writeDetailedPayments(file);
    else
        reports::writeTotalsPage(file, header, totals);
    file.commit();
}

namespace {

// The rows are read from the scratch copy as a stream: a second store of every line would
// double the memory a large declaration takes.
void writeDetailedPaymentsFrom(ByteSink& sink, const HeaderFields& header, ByteSource& scratch,
                               const TotalsTexts& totals)
{
    reports::PageWriter out(sink);
    reports::writeDetailedPaymentsHead(out, header);
    LineReader reader(scratch);
    std::string line;
    for (size_t serial = 1; reader.next(line); ++serial) reports::writeDetailedPaymentsRow(out, serial, line);
    reports::writeDetailedPaymentsEnd(out, totals);
    out.flush();
}

}  // namespace

void ReportCommand::writeDetailedPayments(ByteSink& sink)
{
    // The rows come from a fresh scratch copy of the detail lines, as the workspace holds them.
    FixedWidthTable& details = session_.detailStore();
    if (!details.active()) details.open();
    session_.saveWorkspaceLines();
    FileSource scratch(session_.workspaceFiles().record21());
    writeDetailedPaymentsFrom(sink, session_.header(), scratch, session_.totals());
}

std::shared_ptr<BackgroundPage> ReportCommand::startDetailedPayments(const std::filesystem::path& path)
{
    // Every step that can fail on the session's side fails here, before anything is shown.
    auto file = std::make_shared<AtomicFileWriter>(path, AtomicFileWriter::Durability::ProcessSafe);
    FixedWidthTable& details = session_.detailStore();
    if (!details.active()) details.open();
    session_.saveWorkspaceLines();
    // Opened here: a workspace file replaced later leaves this one as it was.
    auto scratch = std::make_shared<FileSource>(session_.workspaceFiles().record21());
    return std::make_shared<BackgroundPage>([file, scratch, header = session_.header(), totals = session_.totals()] {
        writeDetailedPaymentsFrom(*file, header, *scratch, totals);
        file->commit();
    });
}

}  // namespace edlt
