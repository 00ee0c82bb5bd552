// SPDX-License-Identifier: GPL-3.0-or-later
// Finding things in the store: a field by its name, a line by its record id or by the
// values of some of its fields.
#include "core/store/FixedWidthTable.h"

#include "core/base/Text.h"

namespace edlt {
namespace {

char latinUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameLatinCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (latinUpper(a[i]) != latinUpper(b[i])) return false;
    return true;
}

}  // namespace

int FixedWidthTable::fieldIndex(std::string_view fieldName) const
{
    for (size_t i = 0; i < fields_.size(); ++i)
        if (sameLatinCase(fields_[i].name, fieldName)) return static_cast<int>(i);
    return -1;
}

long FixedWidthTable::indexOfId(int32_t id) const
{
    long at = 0;
    bool found = false;
    lines_.forEach([&](const Line& l) {
        found = l.id == id;
        if (!found) ++at;
        return !found;
    });
    return found ? at : -1;
}

bool FixedWidthTable::findRecord(std::string_view keyFields, std::string_view keyValue, int options, long from)
{
    return findRecord(keyFields, std::vector<std::string>{std::string(keyValue)}, options, from);
}

bool FixedWidthTable::findRecord(std::string_view keyFields, const std::vector<std::string>& keyValues, int options,
                                 long from)
{
    checkActive();
    if (lines_.empty() || trim(keyFields).empty()) return false;
    std::vector<const FieldInfo*> keys;
    size_t start = 0;
    for (size_t i = 0; i <= keyFields.size(); ++i) {
        if (i == keyFields.size() || keyFields[i] == ',' || keyFields[i] == ' ') {
            std::string_view name = keyFields.substr(start, i - start);
            if (!name.empty()) keys.push_back(&fieldByName(name));
            start = i + 1;
        }
    }
    if (keys.empty()) return false;
    if (!moveFirst()) return false;

    auto matches = [&](std::string_view line) {
        for (size_t k = 0; k < keys.size(); ++k) {
            std::string_view key = trim(keyValues.size() == 1  ? keyValues[0]
                                        : k < keyValues.size() ? keyValues[k]
                                                               : std::string_view());
            std::string value = fieldValueOf(line, *keys[k]);
            std::string_view text = trim(value);
            if (text.size() < key.size()) return false;
            if (text.size() > key.size() && !(options & PrefixMatch)) return false;
            for (size_t i = 0; i < key.size(); ++i) {
                char a = text[i], b = key[i];
                if (options & IgnoreCase) a = latinUpper(a), b = latinUpper(b);
                if (a != b) return false;
            }
        }
        return true;
    };
    // Walk without telling the bound controls of every step; they see where it stops.
    long at = 0;
    bool found = false;
    lines_.forEach([&](const Line& l) {
        found = at >= from && matches(l.text());
        if (!found) ++at;
        return !found;
    });
    if (found) {
        cursor_ = at;
        eof_ = bof_ = false;
        notify(DataSetChange::CursorMoved);
        return true;
    }
    cursor_ = static_cast<long>(lines_.size()) - 1;
    eof_ = true;
    notify(DataSetChange::CursorMoved);
    return false;
}

}  // namespace edlt
