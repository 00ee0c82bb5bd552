// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/CompareDeclarations.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/base/Amount.h"
#include "core/base/ByteStream.h"
#include "core/base/Convert.h"
#include "core/base/Cp1253.h"
#include "core/base/TwoCores.h"
#include "core/rules/TotalsLedger.h"
#include "core/session/DeclarationSession.h"
#include "core/session/LongWork.h"
#include "core/session/UserInterface.h"

namespace edlt {

namespace {

// A line's tax number and income type packed so that their order is the order of their
// bytes, with the line's index: a million of them sort without a string each.
struct KeyedLine {
    uint64_t head;   // the tax number's first eight bytes, the first one highest
    uint32_t tail;   // its ninth byte, then the income type's two
    uint32_t index;  // in the declaration
    bool sameKey(const KeyedLine& o) const { return head == o.head && tail == o.tail; }
    bool sameTaxNumber(const KeyedLine& o) const { return head == o.head && (tail >> 16) == (o.tail >> 16); }
    bool keyBefore(const KeyedLine& o) const { return head != o.head ? head < o.head : tail < o.tail; }
    bool operator<(const KeyedLine& o) const
    {
        if (head != o.head) return head < o.head;
        if (tail != o.tail) return tail < o.tail;
        return index < o.index;
    }
};

KeyedLine keyOf(std::string_view line, uint32_t index)
{
    const auto& afm = detail::fields[detail::AFM];
    const auto& type = detail::fields[detail::TypeInc];
    unsigned char k[11];
    std::memset(k, ' ', sizeof k);
    // Fields past a short line's end are blanks, as the store reads them.
    const auto take = [&](size_t from, size_t width, unsigned char* to) {
        if (line.size() > from) std::memcpy(to, line.data() + from, std::min(width, line.size() - from));
    };
    take(static_cast<size_t>(afm.offset), static_cast<size_t>(afm.width), k);
    take(static_cast<size_t>(type.offset), static_cast<size_t>(type.width), k + 9);
    uint64_t head = 0;
    for (size_t i = 0; i < 8; ++i) head = head << 8 | k[i];
    return {head, uint32_t{k[8]} << 16 | uint32_t{k[9]} << 8 | k[10], index};
}

// One declaration's keys in order, and its totals.
struct Side {
    std::vector<KeyedLine> keys;
    TotalsSummary totals;
    std::optional<std::string> unconvertible;
};

Side readSide(const DetailLines& lines)
{
    Side side;
    side.keys.resize(lines.count);
    std::array<Int128, 9> sums{};
    size_t bad = 0;
    for (size_t i = 0; i < lines.count; ++i) {
        const std::string_view text = lines.lineAt(i);
        side.keys[i] = keyOf(text, static_cast<uint32_t>(i));
        std::array<int64_t, 9> units;
        std::string_view badText;
        if (!TotalsLedger::lineUnits(text, units, badText)) {
            if (bad++ == 0)
                side.unconvertible = cp1253::lit("Γραμμή ") + std::to_string(i + 1) + ": " +
                                     format("'%s' is not a valid floating point value", {badText});
            continue;
        }
        for (size_t k = 0; k < 9; ++k) sums[k] += units[k];
    }
    if (bad > 1)
        *side.unconvertible += cp1253::lit(" (και άλλες ") + std::to_string(bad - 1) + cp1253::lit(" γραμμές)");
    for (size_t k = 0; k < 9; ++k) side.totals.sums[totalsBoxOfAmount[k]] = Amount::fromUnits(sums[k]);
    side.totals.lines = lines.count;
    std::sort(side.keys.begin(), side.keys.end());
    for (size_t i = 0; i < side.keys.size(); ++i)
        if (i == 0 || !side.keys[i].sameTaxNumber(side.keys[i - 1])) ++side.totals.distinctTaxNumbers;
    return side;
}

bool sameValue(detail::Field field, std::string_view a, std::string_view b)
{
    // A blank amount or day count is nought, as in the totals and the file.
    if (a.empty()) a = "0";
    if (b.empty()) b = "0";
    if (detail::isAmount(field)) {
        auto x = Amount::tryParse(a), y = Amount::tryParse(b);
        return x && y && *x == *y;
    }
    if (field == detail::Hmeres) {
        auto x = tryStrToInt(a), y = tryStrToInt(b);
        return x && y && *x == *y;
    }
    return false;
}

uint32_t changedFields(std::string_view oldText, std::string_view newText)
{
    if (oldText == newText) return 0;
    uint32_t fields = 0;
    for (detail::Field f : comparedFields()) {
        const std::string_view a = detail::fieldValue(oldText, f), b = detail::fieldValue(newText, f);
        if (a != b && !sameValue(f, a, b)) fields |= 1U << f;
    }
    return fields;
}

}  // namespace

const std::vector<detail::Field>& comparedFields()
{
    static const std::vector<detail::Field> fields = [] {
        std::vector<detail::Field> out;
        for (int f = 0; f < detail::FieldCount; ++f)
            if (f != detail::RecordType && f != detail::AFM && f != detail::FILLER && f != detail::TypeInc &&
                f != detail::FILLER2)
                out.push_back(static_cast<detail::Field>(f));
        return out;
    }();
    return fields;
}

const std::string& fieldCaption(detail::Field field)
{
    static const std::array<std::string, detail::FieldCount> captions = [] {
        std::array<std::string, detail::FieldCount> c;
        for (const auto& [f, text] : detail::textFieldCaptions) c[f] = cp1253::lit(text);
        c[detail::Hmeres] = cp1253::lit("Ημέρες Απασχόλησης");
        for (detail::Field f : detail::amountFields) c[f] = detail::amountCaption(f);
        for (size_t f = 0; f < c.size(); ++f)
            if (c[f].empty()) c[f] = detail::fields[f].name;
        return c;
    }();
    return captions[field];
}

DeclarationComparison compareDeclarations(const DetailLines& oldLines, const DetailLines& newLines)
{
    // Each declaration's keys are sorted and summed on a core of its own.
    Side older, newer;
    runBoth(
        oldLines.count + newLines.count >= 20000, [&] { older = readSide(oldLines); },
        [&] { newer = readSide(newLines); });
    if (older.unconvertible) throw UncomparableAmounts(*older.unconvertible, true);
    if (newer.unconvertible) throw UncomparableAmounts(*newer.unconvertible, false);

    // The k-th line of a key in one is matched with the k-th of that key in the other.
    constexpr uint32_t unmatched = UINT32_MAX;
    std::vector<uint32_t> partner(newLines.count, unmatched);
    std::vector<bool> oldMatched(oldLines.count, false);
    for (size_t i = 0, j = 0; i < older.keys.size() && j < newer.keys.size();) {
        const KeyedLine &o = older.keys[i], &n = newer.keys[j];
        if (o.sameKey(n)) {
            partner[n.index] = o.index;
            oldMatched[o.index] = true;
            ++i;
            ++j;
        } else if (o.keyBefore(n)) {
            ++i;
        } else {
            ++j;
        }
    }
    older.keys = {};
    newer.keys = {};

    DeclarationComparison out;
    out.oldTotals = older.totals;
    out.newTotals = newer.totals;
    auto kept = [&](size_t index, std::string_view text) {
        return DeclarationComparison::Line{index + 1, out.arena.add(text)};
    };
    for (size_t i = 0; i < oldLines.count; ++i)
        if (!oldMatched[i]) out.onlyOld.push_back(kept(i, oldLines.lineAt(i)));
    for (size_t j = 0; j < newLines.count; ++j) {
        const std::string_view text = newLines.lineAt(j);
        if (partner[j] == unmatched) {
            out.onlyNew.push_back(kept(j, text));
            continue;
        }
        const std::string_view oldText = oldLines.lineAt(partner[j]);
        if (const uint32_t fields = changedFields(oldText, text))
            out.changed.push_back({kept(partner[j], oldText), kept(j, text), fields});
    }
    return out;
}

const DeclarationComparison::Line* comparedNewLine(const DeclarationComparison& c, size_t row)
{
    if (row < c.onlyOld.size()) return nullptr;
    row -= c.onlyOld.size();
    if (row < c.onlyNew.size()) return &c.onlyNew[row];
    row -= c.onlyNew.size();
    return row < c.changed.size() ? &c.changed[row].newLine : nullptr;
}

size_t currentLineNumber(const FixedWidthTable& store, const DeclarationComparison::Line& line)
{
    if (!store.active()) return 0;
    const auto count = static_cast<size_t>(store.countRecords());
    const KeyedLine key = keyOf(line.text, 0);
    if (line.number <= count && keyOf(store.lineAt(line.number - 1), 0).sameKey(key)) return line.number;
    for (size_t i = 0; i < count; ++i)
        if (keyOf(store.lineAt(i), 0).sameKey(key)) return i + 1;
    return 0;
}

std::optional<std::string> readDetailLines(const std::filesystem::path& path, ArenaLines& lines, LongWork* work)
{
    try {
        FileSource file(path);
        if (!work) return readDeclarationLines(file, lines);
        std::error_code unknown;
        const auto size = std::filesystem::file_size(path, unknown);
        ProgressSource source(file, unknown ? 0 : static_cast<size_t>(size), *work);
        return readDeclarationLines(source, lines);
    } catch (const FileOpenError& e) {
        lines.clear();
        return declaration_messages::openProblem() + e.framed();
    } catch (const Error&) {
        lines.clear();
        return declaration_messages::openProblem();
    }
}

std::optional<DeclarationComparison> compareWithFile(DeclarationSession& session, UserInterface& ui)
{
    if (!session.detailStore().active() || !session.postPendingEdit()) return std::nullopt;
    auto path = ui.chooseFileToOpen(
        {session.programFolder(), "*.*|*.*", "", cp1253::lit("Η άλλη (παλαιότερη) δήλωση για σύγκριση")});
    if (!path) return std::nullopt;
    std::optional<DeclarationComparison> result;
    session.guarded([&] {
        std::optional<LongWork> work(std::in_place, ui, true);
        ArenaLines older;
        if (auto problem = readDetailLines(*path, older, &*work)) {
            work.reset();
            if (*problem != declaration_messages::invalidFile()) ui.beep();
            ui.showNotice(*problem + (problem->find(cp1253::pathText(*path)) == std::string::npos
                                          ? " (" + cp1253::pathText(*path) + ")"
                                          : std::string()));
            return;
        }
        const FixedWidthTable& store = session.detailStore();
        const DetailLines newer{static_cast<size_t>(store.countRecords()),
                                [&store](size_t i) { return store.lineAt(i); }};
        try {
            result = compareDeclarations({older.lines.size(), [&older](size_t i) { return older.lines[i]; }}, newer);
        } catch (const UncomparableAmounts& e) {
            work.reset();
            ui.showError(e.inOld() ? e.message() + " (" + cp1253::pathText(*path) + ")" : e.message());
        }
    });
    return result;
}

}  // namespace edlt
