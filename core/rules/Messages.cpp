// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rules/Messages.h"

#include "core/base/Cp1253.h"

namespace edlt::msg {

#define EDLT_TEXT(name, utf8)                              \
    const std::string& name()                              \
    {                                                      \
        static const std::string text = cp1253::lit(utf8); \
        return text;                                       \
    }

EDLT_TEXT(sameAsDeclarantQuestion,
          "Ο ΑΦΜ: που εισάγατε είναι ίδιος με τον ΑΦΜ υπόχρεου. Είστε σίγουρος ότι αυτό είναι σωστό;")
EDLT_TEXT(mandatoryFields,
          "Πρέπει να συμπληρώσετε υποχρεωτικά τα πεδία ΑΦΜ,Ακαθάριστες και Καθαρές Αποδοχές, Κρατήσεις, Είδος Αποδοχών")
EDLT_TEXT(badLineAfm, "Έχετε συμπληρώσει μη αποδεκτό ΑΦΜ στην εγγραφή αναλυτικών αμοιβών")
EDLT_TEXT(badTypeInc, "Έχετε συμπληρώσει μη αποδεκτή τιμή Είδους Αποδοχών στην εγγραφή αναλυτικών αμοιβών")
EDLT_TEXT(tooManyDays, "Οι ημέρες απασχόλησης πρέπει να είναι <= 365. Διορθώστε το για να προχωρήσει η αποθήκευση.")
EDLT_TEXT(negativeDays,
          "Οι ημέρες απασχόλησης δεν μπορεί να είναι αρνητικές. Διορθώστε το για να προχωρήσει η αποθήκευση.")
EDLT_TEXT(netPayMismatch,
          "Οι Καθαρές αποδοχές δε συμφωνούν με τα υπόλοιπα ποσά που έχετε δηλώσει.Ελέγξτε τα ποσά των διάφορων "
          "κρατήσεων καθώς και τις Ακαθάριστες αποδοχές")
EDLT_TEXT(deductionsAboveGross,
          "Οι συνολικές κρατήσεις που έχετε δηλώσει είναι μεγαλύτερες από τις Ακαθάριστες αποδοχές. Ελέγξτε τα ποσά "
          "των διάφορων κρατήσεων καθώς και τις Ακαθάριστες αποδοχές")
EDLT_TEXT(stampDutyAboveGross,
          "Το ποσό Χαρτοσήμου που έχετε δηλώσει είναι μεγαλύτερο από τις Ακαθάριστες αποδοχές. Ελέγξτε το ποσό "
          "Χαρτοσήμου καθώς και τις Ακαθάριστες αποδοχές")
EDLT_TEXT(stampLevyAboveGross,
          "Το ποσό ΟΓΑ Χαρτοσήμου που έχετε δηλώσει είναι μεγαλύτερο από τις Ακαθάριστες αποδοχές. Ελέγξτε το ποσό "
          "ΟΓΑ Χαρτοσήμου καθώς και τις Ακαθάριστες αποδοχές")
EDLT_TEXT(withheldAboveGross,
          "Ο Φόρος που Παρακρατήθηκε είναι μεγαλύτερος από τις Ακαθάριστες αποδοχές. Ελέγξτε το ποσό Φόρου καθώς "
          "και τις Ακαθάριστες αποδοχές")
EDLT_TEXT(dueAboveGross,
          "Ο Αναλογούντας Φόρος που έχετε δηλώσει είναι μεγαλύτερος από τις Ακαθάριστες αποδοχές. Ελέγξτε το ποσό "
          "Φόρου καθώς και τις Ακαθάριστες αποδοχές")
EDLT_TEXT(withheldAboveDueQuestion,
          "Ο Φόρος που Παρακρατήθηκε είναι μεγαλύτερος από τον Αναλογούντα Φόρο. Είστε βέβαιος ότι θέλετε να "
          "συνεχίσετε με την αποθήκευση;")
EDLT_TEXT(withheldAbove40Question,
          "Ο Φόρος που Παρακρατήθηκε είναι μεγαλύτερος του 40% των Καθαρών Αποδοχών. Είστε βέβαιος ότι θέλετε να "
          "συνεχίσετε με την αποθήκευση;")
EDLT_TEXT(dueAbove40Question,
          "Ο Φόρος που Αναλογεί είναι μεγαλύτερος του 40% των Καθαρών Αποδοχών. Είστε βέβαιος ότι θέλετε να "
          "συνεχίσετε με την αποθήκευση;")
EDLT_TEXT(levyWithheldAboveGross,
          "Το ποσό \"ΟΓΑ Φόρου που παρ/κε\" που έχετε δηλώσει είναι μεγαλύτερο από τις Ακαθάριστες αποδοχές. Ελέγξτε "
          "το ποσό Φόρου καθώς και τις Ακαθάριστες αποδοχές")
EDLT_TEXT(levyDueAboveGross,
          "Το ποσό \"ΟΓΑ Φόρου που αναλογεί\" που έχετε δηλώσει είναι μεγαλύτερο από τις Ακαθάριστες αποδοχές. "
          "Ελέγξτε το ποσό Φόρου καθώς και τις Ακαθάριστες αποδοχές")

EDLT_TEXT(wrongDeclarantAfm, "Λάθος ΑΦΜ Υπόχρεου")
EDLT_TEXT(writeYear, "Γράψτε το έτος που αφορούν τα στοιχεία, με τέσσερα ψηφία")
EDLT_TEXT(writeCompanyName, "Γράψτε την Επωνυμία της επιχείρησης")
EDLT_TEXT(writePersonName, "Γράψτε το Ονοματεπώνυμο του υπόχρεου")
EDLT_TEXT(wrongDeclarantAfmOnSave, "Έχετε δώσει λανθασμένο ΑΦΜ Υπόχρεου")
EDLT_TEXT(newDeclarationQuestion, "Δημιουργία νέου αρχείου;")
EDLT_TEXT(saveChangesQuestion, "Έχετε κάνει αλλαγές. Θέλετε να αποθηκευτούν σε αρχείο;")
EDLT_TEXT(alreadyRunning,
          "Το e-ΔΛΤ εκτελείται ήδη από αυτόν το φάκελο. Κλείστε το άλλο παράθυρο του προγράμματος και δοκιμάστε ξανά.")
EDLT_TEXT(companyNameCaption, "Επωνυμία Επιχείρησης: (*)")
EDLT_TEXT(surnameCaption, "Επωνυμο: (*)")
EDLT_TEXT(applicationTitle, "Οριστική Δήλωση Τέλους Καταστάσεων Αμοιβών")

#undef EDLT_TEXT

std::string duplicateLine(std::string_view afm)
{
    static const std::string head = cp1253::lit("Ο ΑΦΜ: ");
    static const std::string tail =
        cp1253::lit(" έχει εισαχθεί 2 φορές στις αναλυτικές αμοιβές με τον ίδιο κωδικό Είδους Αποδοχών");
    return head + std::string(afm) + tail;
}

std::string lineSameAsDeclarantQuestion(std::string_view afm, long lineNumber)
{
    static const std::string head = cp1253::lit("Ο ΑΦΜ: ");
    static const std::string middle = cp1253::lit(" που έχει εισαχθεί στη γραμμή ");
    static const std::string tail =
        cp1253::lit(" των αναλυτικών αμοιβών είναι ίδιος με τον ΑΦΜ υπόχρεου. Είστε σίγουρος ότι αυτό είναι σωστό;");
    return head + std::string(afm) + middle + std::to_string(lineNumber) + tail;
}

std::string overwriteQuestion(std::string_view fileName)
{
    static const std::string head = cp1253::lit("Είστε σίγουρος ότι θέλετε να αντικαταστήσετε το αρχείο ");
    return head + std::string(fileName) + ";";
}

}  // namespace edlt::msg
