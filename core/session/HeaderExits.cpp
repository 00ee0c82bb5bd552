// The header: its boxes' texts, leaving the tax number and year boxes, the declarant's kind.
#include "core/session/DeclarationSession.h"

#include "core/rules/CheckAFM.h"
#include "core/rules/DeclarationRules.h"
#include "core/rules/Messages.h"
#include "core/store/DeclarantRecord.h"
#include "core/store/FieldText.h"

namespace edlt {

void DeclarationSession::SetHeaderText(HeaderField field, const std::string& text)
{
    std::string& slot = header_.value(field);
    const std::string cleaned = cleanFieldText(text);  // a header box is a field of a record too
    if (slot == cleaned) return;
    slot = cleaned.substr(0, static_cast<size_t>(declarant::widthOf(field)));
    MarkModified();
    recovery_.keep(header_);
}

const std::string& DeclarationSession::CompanyNameCaption() const
{
    return header_.business ? msg::companyNameCaption() : msg::surnameCaption();
}

bool DeclarationSession::YearAcceptable()
{
    return yearAcceptable(header_.YearOfData, Today().year);
}

bool DeclarationSession::LeaveAfmBox()
{
    bool ok = false;
    if (!Guarded([&] { ok = CheckAFM(header_.AFM); })) return true;  // the error report; focus moves on
    if (ok) return true;
    ui_.ShowNotice(msg::wrongDeclarantAfm());
    ui_.FocusHeaderField(HeaderField::AFM);
    return false;
}

bool DeclarationSession::LeaveYearBox()
{
    bool ok = false;
    if (!Guarded([&] { ok = YearAcceptable(); })) return true;
    if (ok) return true;
    ui_.Beep();
    ui_.ShowNotice(msg::writeYear());
    ui_.FocusHeaderField(HeaderField::YearOfData);
    return false;
}

void DeclarationSession::ChooseBusiness()
{
    MarkModified();
    header_.business = true;
    recovery_.keep(header_);
    Changed();
}

void DeclarationSession::ChoosePerson()
{
    MarkModified();
    header_.business = false;
    recovery_.keep(header_);
    Changed();
}

}  // namespace edlt
