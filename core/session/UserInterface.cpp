#include "core/session/UserInterface.h"

#include "core/base/Cp1253.h"

namespace edlt {

Answer AskYesNo(UserInterface& ui, const std::string& text)
{
    static const std::vector<std::string> captions = {cp1253::lit("Ναι"), cp1253::lit("Όχι")};
    return ui.AskQuestion(text, mbYes | mbNo, captions);
}

Answer AskYesNoDefaultNo(UserInterface& ui, const std::string& text)
{
    static const std::vector<std::string> captions = {cp1253::lit("Ναι"), cp1253::lit("Όχι")};
    return ui.AskQuestion(text, mbYes | mbNo | mbDefaultNo, captions);
}

Answer AskYesNoCancel(UserInterface& ui, const std::string& text)
{
    static const std::vector<std::string> captions = {cp1253::lit("Ναι"), cp1253::lit("Όχι"), cp1253::lit("Άκυρο")};
    return ui.AskQuestion(text, mbYes | mbNo | mbCancel, captions);
}

}  // namespace edlt
