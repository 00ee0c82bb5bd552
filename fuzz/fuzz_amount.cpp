// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: bytes as an amount text and as a tax number. Parsing either answers
// or raises the conversion error; a normalised amount reads back as itself.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/base/Amount.h"
#include "core/base/Convert.h"
#include "core/base/Error.h"
#include "core/rules/CheckAFM.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    if (auto a = edlt::Amount::tryParse(text)) {
        std::string normal = a->text();
        auto again = edlt::Amount::tryParse(normal);
        if (!again || again->text() != normal) __builtin_trap();
        (void)edlt::amountWriteProblem(*a, 10, "x");
    }
    try {
        (void)edlt::checkAFM(text);
    } catch (const edlt::ConvertError&) {
    }
    (void)edlt::tryStrToInt64(text);
    return 0;
}
