// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/HeaderRecovery.h"

#include <string>
#include <vector>

#include "core/base/ByteStream.h"
#include "core/base/Error.h"
#include "core/store/AtomicFile.h"
#include "core/store/WorkspaceJournal.h"

namespace edlt {

bool HeaderRecovery::holdsWork() const
{
    std::error_code ec;
    if (std::filesystem::exists(savedMark(), ec)) return false;
    if (std::filesystem::exists(file(), ec)) return true;
    if (WorkspaceJournal::holdsChanges(workspace_.record2(), workspace_.journal())) return true;
    return std::filesystem::file_size(workspace_.record2(), ec) > 0 && !ec;
}

void HeaderRecovery::keep(const HeaderFields& h) const
{
    if (!enabled_) return;
    std::string text;
    for (HeaderField field : headerFieldsInBoxOrder) text += h.value(field) + "\r\n";
    text += h.business ? "0\r\n" : "1\r\n";
    try {
        writeFileAtomically(file(), text, AtomicFileWriter::Durability::ProcessSafe);
    } catch (const Error&) {
        // Only a safety copy: the declaration itself is unaffected.
    }
}

HeaderFields HeaderRecovery::kept() const
{
    std::vector<std::string> values;
    try {
        FileSource source(file());
        LineReader reader(source, 256);
        std::string line;
        while (reader.next(line)) values.push_back(line);
    } catch (const Error&) {
        values.clear();
    }
    HeaderFields h;
    const size_t count = headerFieldsInBoxOrder.size();
    for (size_t i = 0; i < count && i < values.size(); ++i) h.value(headerFieldsInBoxOrder[i]) = values[i];
    h.business = values.size() <= count || values[count] != "1";
    return h;
}

void HeaderRecovery::markSaved()
{
    if (!enabled_) return;
    try {
        writeFileAtomically(savedMark(), "", AtomicFileWriter::Durability::ProcessSafe);
        marked_ = true;
    } catch (const Error&) {
        // Saved work offered once more after a kill is the lesser harm.
    }
}

void HeaderRecovery::markChanged()
{
    if (!marked_) return;
    std::error_code ec;
    std::filesystem::remove(savedMark(), ec);
    marked_ = static_cast<bool>(ec);  // tried again at the next change
}

void HeaderRecovery::discard()
{
    std::error_code ec;
    std::filesystem::remove(file(), ec);  // a file left behind only makes the next start offer it
    std::filesystem::remove(savedMark(), ec);
    marked_ = false;
}

}  // namespace edlt
