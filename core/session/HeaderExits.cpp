// SPDX-License-Identifier: GPL-3.0-or-later
// The header: its boxes' texts, leaving the tax number and year boxes, the declarant's kind.
#include "core/session/DeclarationSession.h"

#include "core/rules/CheckAFM.h"
#include "core/rules/DeclarationRules.h"
#include "core/rules/Messages.h"
#include "core/store/DeclarantRecord.h"
#include "core/store/FieldText.h"

namespace edlt {

void DeclarationSession::setHeaderText(HeaderField field, const std::string& text)
{
    std::string& slot = header_.value(field);
    const std::string cleaned = cleanFieldText(text);  // a header box is a field of a record too
    if (slot == cleaned) return;
    slot = cleaned.substr(0, static_cast<size_t>(declarant::widthOf(field)));
    markModified();
    recovery_.keep(header_);
}

const std::string& DeclarationSession::companyNameCaption() const
{
    return header_.business ? msg::companyNameCaption() : msg::surnameCaption();
}

bool DeclarationSession::yearAcceptable()
{
    return edlt::yearAcceptable(header_.YearOfData, today().year);
}

bool DeclarationSession::leaveAfmBox()
{
    bool ok = false;
    if (!guarded([&] { ok = checkAFM(header_.AFM); })) return true;  // the error report; focus moves on
    if (ok) return true;
    ui_.showNotice(msg::wrongDeclarantAfm());
    ui_.focusHeaderField(HeaderField::AFM);
    return false;
}

bool DeclarationSession::leaveYearBox()
{
    bool ok = false;
    if (!guarded([&] { ok = yearAcceptable(); })) return true;
    if (ok) return true;
    ui_.beep();
    ui_.showNotice(msg::writeYear());
    ui_.focusHeaderField(HeaderField::YearOfData);
    return false;
}

void DeclarationSession::chooseBusiness()
{
    markModified();
    header_.business = true;
    recovery_.keep(header_);
    changed();
}

void DeclarationSession::choosePerson()
{
    markModified();
    header_.business = false;
    recovery_.keep(header_);
    changed();
}

}  // namespace edlt
