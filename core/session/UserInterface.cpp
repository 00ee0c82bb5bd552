// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session/UserInterface.h"

#include "core/base/Cp1253.h"

namespace edlt {

Answer askYesNo(UserInterface& ui, const std::string& text)
{
    static const std::vector<std::string> captions = {cp1253::lit("Ναι"), cp1253::lit("Όχι")};
    return ui.askQuestion(text, mbYes | mbNo, captions);
}

Answer askYesNoDefaultNo(UserInterface& ui, const std::string& text)
{
    static const std::vector<std::string> captions = {cp1253::lit("Ναι"), cp1253::lit("Όχι")};
    return ui.askQuestion(text, mbYes | mbNo | mbDefaultNo, captions);
}

Answer askYesNoCancel(UserInterface& ui, const std::string& text)
{
    static const std::vector<std::string> captions = {cp1253::lit("Ναι"), cp1253::lit("Όχι"), cp1253::lit("Άκυρο")};
    return ui.askQuestion(text, mbYes | mbNo | mbCancel, captions);
}

}  // namespace edlt
