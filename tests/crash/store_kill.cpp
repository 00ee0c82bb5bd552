// SPDX-License-Identifier: GPL-3.0-or-later
// edlt_store_kill: the workspace under kills. "run" opens a generated declaration in a
// session over DIR's workspace and stores, inserts and deletes lines without end, printing
// the number of each operation once it has returned; the script kills it at a random
// moment. "check" starts a session over the same workspace, accepts the recovery question
// and compares the recovered lines and totals with the same operations replayed in a
// private session: they must be those after the last operation that returned, or after the
// one that was running.
//   edlt_store_kill run DIR SEED | edlt_store_kill check DIR SEED LAST
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <unistd.h>

#include "bench/Generator.h"
#include "bench/QuietUI.h"
#include "core/base/Cp1253.h"
#include "core/rules/CheckAFM.h"
#include "core/session/DeclarationSession.h"
#include "core/store/AtomicFile.h"
#include "core/store/DetailRecord.h"

namespace fs = std::filesystem;
using namespace edlt;

namespace {

constexpr size_t baseLines = 20000;

DeclarationSession::Options options(const fs::path& program, const fs::path& workspaceParent, bool recoverable)
{
    DeclarationSession::Options o;
    o.programFolder = program;
    o.workspaceParent = workspaceParent;
    o.today = [] { return CalendarDate{2026, 12, 7}; };
    o.lockWorkspace = recoverable;
    o.journalEntryLimit = 48;  // compactions often enough to be killed in
    return o;
}

// Operation n, the same in both modes: an edit, an insert or a delete somewhere.
void operate(DeclarationSession& s, uint64_t seed, long n)
{
    std::mt19937_64 rng(seed * 1000003 + static_cast<uint64_t>(n));
    FixedWidthTable& ds = s.detailStore();
    const long count = ds.countRecords();
    const long at = static_cast<long>(rng() % static_cast<uint64_t>(count)) + 1;
    const unsigned kind = static_cast<unsigned>(rng() % 3);
    ds.setRecordNumber(at);
    if (kind == 0) {
        ds.deleteRecord();
        return;
    }
    if (kind == 1) {
        ds.edit();
        ds.setFieldValue(detail::SurName, "EDIT" + std::to_string(n));
    } else {
        std::string afm;
        const std::string stem = std::to_string(20000000 + n % 70000000);
        for (char c = '0'; c <= '9' && afm.empty(); ++c)
            if (checkAFM(stem + c)) afm = stem + c;
        ds.insert();
        ds.setFieldValue(detail::AFM, afm);
        ds.setFieldValue(detail::SurName, "NEW" + std::to_string(n));
        ds.setFieldValue(detail::TypeInc, "10");
        ds.setFieldValue(detail::AkaInc, std::to_string(n % 5000 + 100));
        ds.setFieldValue(detail::Kratiseis, "0");
        ds.setFieldValue(detail::Kathares, std::to_string(n % 5000 + 100));
    }
    if (!s.postPendingEdit()) ds.Cancel();
}

struct State {
    std::vector<std::string> lines;
    TotalsTexts totals;
    std::string label;
    bool operator==(const State&) const = default;
};

State stateOf(const DeclarationSession& s)
{
    State st{{}, s.totals(), s.recordCounterText()};
    for (long i = 0; i < s.detailStore().countRecords(); ++i)
        st.lines.emplace_back(s.detailStore().lineAt(static_cast<size_t>(i)));
    return st;
}

void prepare(const fs::path& dir, uint64_t seed)
{
    fs::create_directories(dir / "Addon");
    writeFileAtomically(dir / "Addon" / "typeofinc.txt", "10" + std::string(52, ' ') + "\r\n");
    AtomicFileWriter out(dir / "DLT");
    bench::writeGeneratedDeclaration(out, seed, baseLines, "20261207");
    out.commit();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::cerr << "usage: edlt_store_kill run DIR SEED | check DIR SEED LAST\n";
        return 2;
    }
    const std::string mode = argv[1];
    const fs::path dir = argv[2];
    const uint64_t seed = std::strtoull(argv[3], nullptr, 10);
    bench::QuietUI ui;
    if (mode == "run") {
        prepare(dir, seed);
        DeclarationSession s(ui, options(dir, {}, true));
        if (!s.start() || !s.openFile(dir / "DLT")) return 2;
        std::printf("0\n");
        std::fflush(stdout);
        for (long n = 1;; ++n) {
            operate(s, seed, n);
            std::printf("%ld\n", n);
            std::fflush(stdout);
        }
    }
    if (mode != "check" || argc < 5) return 2;
    const long last = std::strtol(argv[4], nullptr, 10);
    // The private model first: the recovering session below removes nothing it needs.
    fs::create_directories(dir / "model");
    DeclarationSession model(ui, options(dir, dir / "model", false));
    if (!model.start() || !model.openFile(dir / "DLT")) return 2;
    for (long n = 1; n <= last; ++n) operate(model, seed, n);
    const State returned = stateOf(model);
    operate(model, seed, last + 1);
    const State running = stateOf(model);

    ui.shown = 0;
    DeclarationSession recovered(ui, options(dir, {}, true));
    if (!recovered.start()) return 2;
    if (!recovered.detailStore().active()) {
        std::cout << "nothing was recovered\n";
        return 1;
    }
    const State got = stateOf(recovered);
    if (got == returned) return 0;
    if (got == running) return 0;
    std::cout << "recovered " << got.lines.size() << " lines (" << cp1253::toUtf8(got.label) << "), expected "
              << returned.lines.size() << " or " << running.lines.size() << " after operation " << last << "\n";
    return 1;
}
