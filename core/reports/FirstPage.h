// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The first page of the official form ("Ε 7", page 1): four template blocks saved the way a
// spreadsheet application saves a sheet as a web page, with the program's fragments and
// values written between them.
#include <filesystem>
#include <string>
#include <vector>

#include "core/base/ByteStream.h"
#include "core/store/DeclarationFile.h"
#include "core/store/HeaderFields.h"

namespace edlt::reports {

// The four template blocks, Windows-1253 lines, in page order.
struct FirstPageTemplate {
    // The document head and styles, and the form's top down to the fiscal year's label.
    std::vector<std::string> pageHead;
    // The "final declaration" title, down to the heading of the declarant's details.
    std::vector<std::string> declarantHeading;
    // The telephone, the legal representative, and the summary table down to the gross pay.
    std::vector<std::string> summaryHead;
    // The rest of the summary table, and the document's end.
    std::vector<std::string> pageEnd;

    // The folder under Addon that holds the blocks, and the pictures folder the page names.
    static constexpr const char* folderName = "E7FirstPageFinal";
    static constexpr const char* picturesFolderName = "E7FirstPageFinal.files";

    // Reads the blocks, in order, from Memo3.htm .. Memo6.htm (UTF-8 files) in folder; throws
    // Error when one is missing, unreadable or holds a character Windows-1253 cannot.
    static FirstPageTemplate load(const std::filesystem::path& folder);
};

// One template block from UTF-8 text, split at CR LF, LF or CR; throws Error as Load.
std::vector<std::string> readTemplateBlock(ByteSource& source, const std::string& nameForMessages);

// The values the page inserts, before escaping.
struct FirstPageValues {
    std::string fiscalYear, period, name, fatherName, address, afm, gross, deductions, net;
};
FirstPageValues firstPageValuesOf(const HeaderFields& header, const TotalsTexts& totals);

void writeFirstPage(ByteSink& sink, const FirstPageTemplate& blocks, const HeaderFields& header,
                    const TotalsTexts& totals);

}  // namespace edlt::reports
