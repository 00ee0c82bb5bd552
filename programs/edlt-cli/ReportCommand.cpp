// SPDX-License-Identifier: GPL-3.0-or-later
// edlt-cli report: the page a print command writes, for a declaration file, at a chosen place.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <string_view>
#include <system_error>

#include <QFile>
#include <QGuiApplication>

#include "core/base/Cp1253.h"
#include "core/base/Error.h"
#include "core/reports/ReportCommand.h"
#include "core/store/AtomicFile.h"
#include "programs/edlt-cli/Cli.h"
#include "programs/edlt-cli/CliUserInterface.h"
#include "render/PdfExport.h"

namespace edlt::cli {
namespace {

std::string readWhole(const std::filesystem::path& path)
{
    FileSource source(path);
    std::string bytes;
    char buffer[65536];
    while (size_t n = source.read(buffer, sizeof buffer)) bytes.append(buffer, n);
    return bytes;
}

// The page names its pictures relative to itself, so they go beside it under their own
// folder name. The folder is filled under a temporary name and swapped in whole; the
// returned function swaps the old one back (a page that could not be written).
std::function<void()> placePictures(const std::filesystem::path& from, const std::filesystem::path& to)
{
    const std::filesystem::path folder = to.parent_path();
    std::string name = (folder / (std::string(AtomicFileWriter::tempMarker) + "XXXXXX")).string();
    if (::mkdtemp(name.data()) == nullptr)
        throw WriteError(format(cp1253::lit("Δεν ήταν δυνατή η δημιουργία του φακέλου %s"), {cp1253::pathText(to)}) +
                         " (" + cp1253::pathText(folder) + ": " + systemErrorText(errno) + ")");
    const std::filesystem::path fresh = name;
    std::error_code ec;
    try {
        std::filesystem::directory_iterator it(from, ec);
        if (ec)
            throw Error(format("Cannot open file \"%s\". %s", {cp1253::pathText(from), systemErrorText(ec.value())}));
        for (const auto& entry : it) {
            if (!entry.is_regular_file()) continue;
            writeFileAtomically(fresh / entry.path().filename(), readWhole(entry.path()),
                                AtomicFileWriter::Durability::ProcessSafe);
        }
        // An old folder is exchanged with the new one in a single step, then removed.
        if (::renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) != 0) {
            if (errno != ENOENT || ::rename(fresh.c_str(), to.c_str()) != 0)
                throw WriteError(
                    format(cp1253::lit("Δεν ήταν δυνατή η δημιουργία του φακέλου %s"), {cp1253::pathText(to)}) + " (" +
                    cp1253::pathText(to) + ": " + systemErrorText(errno) + ")");
            return [to] {
                std::error_code ignored;
                std::filesystem::remove_all(to, ignored);
            };
        }
    } catch (...) {
        std::filesystem::remove_all(fresh, ec);
        throw;
    }
    // The old folder now sits under the temporary name.
    return [fresh, to] {
        ::renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE);
        std::error_code ignored;
        std::filesystem::remove_all(fresh, ignored);
    };
}

bool endsWithPdf(const std::string& name)
{
    if (name.size() < 4) return false;
    std::string end = name.substr(name.size() - 4);
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end == ".pdf";
}

// "N" or "N-M" (1-based, N <= M) as pages N to M, 0-based; nullopt for anything else.
std::optional<reports::PageRange> parsePages(const std::string& text)
{
    auto number = [](std::string_view digits) -> std::optional<int> {
        if (digits.empty() || digits.size() > 9) return std::nullopt;
        int n = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return std::nullopt;
            n = n * 10 + (c - '0');
        }
        return n > 0 ? std::optional<int>(n) : std::nullopt;
    };
    const size_t dash = text.find('-');
    const auto from = number(std::string_view(text).substr(0, dash));
    const auto to = dash == std::string::npos ? from : number(std::string_view(text).substr(dash + 1));
    if (!from || !to || *to < *from) return std::nullopt;
    return reports::PageRange{*from - 1, *to - 1};
}

// A page range past the report's last page: the command line asked for pages it has not.
struct RangeBeyondReport {
    int pages;
};

// The report drawn as PDF pages, as the print window saves it; no display is needed.
void writePdf(ReportKind kind, DeclarationSession& session, const std::filesystem::path& path,
              const std::optional<reports::PageRange>& range)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own notices (a missing runtime folder, say) are not this command's messages.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    int argc = 1;
    char name[] = "edlt-cli";
    char* argv[] = {name, nullptr};
    // Without a session's runtime folder Qt makes one in TMPDIR; the command's own folder
    // goes with it when the command ends.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const std::filesystem::path runtime = session.workspaceFiles().record2().parent_path() / "runtime";
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(QString::fromStdString(runtime.string())));
    }
    QGuiApplication app(argc, argv);
    const auto document = reports::ReportDocument::forSession(kind, session);
    if (range && range->last >= document->pageCount()) throw RangeBeyondReport{document->pageCount()};
    reports::writePdf(*document, path, {}, range.value_or(reports::PageRange{}));
}

}  // namespace

int runReport(const Args& args)
{
    const char* usage = "edlt-cli report first-page|detail|totals FILE --out PAGE|REPORT.pdf [--pages N|N-M]";
    ParsedArgs parsed;
    if (auto problem = parseArgs(args, {"--out", "--pages"}, {}, parsed)) return usageError(*problem + ": " + usage);
    if (parsed.positional.size() != 2 || parsed.positional[1].empty())
        return usageError(std::string("η report θέλει είδος αναφοράς και αρχείο: ") + usage);
    const std::string& which = parsed.positional[0];
    ReportKind kind;
    if (which == "first-page") kind = ReportKind::FirstPage;
    else if (which == "detail")
        kind = ReportKind::DetailedPayments;
    else if (which == "totals")
        kind = ReportKind::Totals;
    else
        return usageError("άγνωστο είδος αναφοράς «" + which + "»: " + usage);
    const std::string out = parsed.value("--out").value_or("");
    if (out.empty()) return usageError(std::string("η --out θέλει ένα όνομα αρχείου: ") + usage);
    const bool pdf = endsWithPdf(out);
    if (pdf && kind == ReportKind::FirstPage)
        return usageError(std::string("η 1η σελίδα γράφεται μόνο ως σελίδα HTML: ") + usage);

    std::optional<reports::PageRange> range;
    if (const auto pages = parsed.value("--pages")) {
        if (!pdf) return usageError(std::string("η --pages ισχύει μόνο για αναφορά σε PDF: ") + usage);
        range = parsePages(*pages);
        if (!range)
            return usageError("μη έγκυρες σελίδες «" + *pages +
                              "»: η --pages θέλει μια σελίδα N ή σελίδες N-M, με 1 <= N <= M: " + usage);
    }

    // The first page's pictures go in a folder beside the page, which standard output has not.
    if (out == "-" && kind == ReportKind::FirstPage)
        return usageError(std::string("η 1η σελίδα θέλει ένα όνομα αρχείου, όχι την τυπική έξοδο: ") + usage);

    CommandSession command;
    DeclarationSession& session = command.session();
    if (!command.open(parsed.positional[1])) return ExitUnreadable;
    // The window program posts the line being edited first; a command line has none.
    if (!session.postPendingEdit()) return ExitRefused;
    try {
        const std::filesystem::path page = out == "-"
                                               ? command.scratchFile("page")
                                               : AtomicFileWriter::checkedDestination(std::filesystem::absolute(out));
        std::function<void()> undoPictures;
        if (kind == ReportKind::FirstPage)
            undoPictures = placePictures(ReportCommand::firstPagePicturesFolder(session.programFolder()),
                                         page.parent_path() / "E7FirstPageFinal.files");
        try {
            if (pdf) writePdf(kind, session, page, range);
            else
                ReportCommand(session, command.ui).writePage(kind, page);
        } catch (...) {
            if (undoPictures) undoPictures();
            throw;
        }
        if (out == "-") copyToStandardOutput(page);
    } catch (const RangeBeyondReport& beyond) {
        return usageError("μη έγκυρες σελίδες «" + parsed.value("--pages").value_or("") + "»: η αναφορά έχει " +
                          std::to_string(beyond.pages) + (beyond.pages == 1 ? " σελίδα" : " σελίδες"));
    } catch (const std::exception& e) {
        printFailure(report_messages::preparationProblem());
        printErr(e.what());
        return ExitUnreadable;
    }
    return ExitOk;
}

}  // namespace edlt::cli
