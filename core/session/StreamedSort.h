// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sort commands' result for a declaration file, made without the store: the file's lines
// are read once into memory, ordered by the exchange sort's order, and written as Save As
// writes them. Only for a file Open takes without a word; anything else goes through Open.
#include <optional>
#include <string_view>

#include "core/base/ByteStream.h"
#include "core/session/DeclarationSession.h"
#include "core/store/DeclarationFile.h"
#include "core/store/HeaderFields.h"
#include "core/store/LineArena.h"

namespace edlt {

// What Save As writes from: the header, the totals boxes and the lines in workspace form.
struct PlainDeclaration {
    HeaderFields header;
    TotalsTexts totals;
    ArenaLines lines;
};

// The declaration of a file Open accepts with at least one line and every amount a number;
// nullopt otherwise. Throws Error when the source cannot be read.
std::optional<PlainDeclaration> readPlainDeclaration(ByteSource& source);

// Writes the declaration file with the lines in the order the sort by key leaves them,
// dated todayYYYYMMDD. Throws as writeDeclarationFile.
void writeSortedDeclaration(ByteSink& sink, const PlainDeclaration& declaration, DeclarationSession::SortKey key,
                            std::string_view todayYYYYMMDD);

}  // namespace edlt
