// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/DetailRecord.h"

#include <stdexcept>

#include "core/base/Cp1253.h"
#include "core/base/Text.h"

namespace edlt::detail {

static_assert(fields[FILLER2].offset + fields[FILLER2].width == RecordSize);

std::vector<std::string> schema()
{
    std::vector<std::string> lines;
    for (const FieldDef& f : fields) lines.push_back(std::string(f.name) + "=" + std::to_string(f.width));
    return lines;
}

const std::string& amountCaption(Field field)
{
    static const std::array<std::string, 9> captions = {
        cp1253::lit("Ακαθάριστες Αποδοχές"),   cp1253::lit("Χαρτόσημο"),
        cp1253::lit("ΟΓΑ Χαρτοσήμου"),         cp1253::lit("Κρατήσεις"),
        cp1253::lit("Καθαρές Αποδοχές"),       cp1253::lit("Φόρος που Παρακρατήθηκε"),
        cp1253::lit("Φόρος που Αναλογεί"),     cp1253::lit("ΟΓΑ Φόρου που Παρακρατήθηκε"),
        cp1253::lit("ΟΓΑ Φόρου που Αναλογεί"),
    };
    for (size_t i = 0; i < amountFields.size(); ++i)
        if (amountFields[i] == field) return captions[i];
    throw std::logic_error("not an amount field");
}

std::string fieldText(std::string_view line, Field field)
{
    const FieldDef& f = fields[field];
    std::string out(static_cast<size_t>(f.width), ' ');
    if (line.size() > static_cast<size_t>(f.offset)) {
        std::string_view part = line.substr(static_cast<size_t>(f.offset), static_cast<size_t>(f.width));
        out.replace(0, part.size(), part);
    }
    return out;
}

std::string_view fieldValue(std::string_view line, Field field)
{
    const FieldDef& f = fields[field];
    if (line.size() <= static_cast<size_t>(f.offset)) return {};
    return trimRight(line.substr(static_cast<size_t>(f.offset), static_cast<size_t>(f.width)));
}

}  // namespace edlt::detail
