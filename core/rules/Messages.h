// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts the declaration's checks show, Windows-1253, each exactly as users know it.
#include <string>
#include <string_view>

namespace edlt::msg {

const std::string& sameAsDeclarantQuestion();
const std::string& mandatoryFields();
const std::string& badLineAfm();
const std::string& badTypeInc();
std::string duplicateLine(std::string_view afm);
const std::string& tooManyDays();
const std::string& negativeDays();
const std::string& netPayMismatch();
const std::string& deductionsAboveGross();
const std::string& stampDutyAboveGross();
const std::string& stampLevyAboveGross();
const std::string& withheldAboveGross();
const std::string& dueAboveGross();
const std::string& withheldAboveDueQuestion();
const std::string& withheldAbove40Question();
const std::string& dueAbove40Question();
const std::string& levyWithheldAboveGross();
const std::string& levyDueAboveGross();

const std::string& wrongDeclarantAfm();  // leaving the header's tax number
const std::string& writeYear();          // the year check
const std::string& writeCompanyName();
const std::string& writePersonName();
const std::string& wrongDeclarantAfmOnSave();
std::string lineSameAsDeclarantQuestion(std::string_view afm, long lineNumber);
const std::string& newDeclarationQuestion();
std::string overwriteQuestion(std::string_view fileName);
const std::string& saveChangesQuestion();
const std::string& alreadyRunning();

const std::string& companyNameCaption();  // "Επωνυμία Επιχείρησης: (*)"
const std::string& surnameCaption();      // "Επωνυμο: (*)"
const std::string& applicationTitle();

}  // namespace edlt::msg
