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

// The template blocks Memo3..Memo6, Windows-1253 lines.
struct FirstPageTemplate {
    std::vector<std::string> Memo3, Memo4, Memo5, Memo6;

    // The folder under Addon that holds the blocks, and the pictures folder the page names.
    static constexpr const char* folderName = "E7FirstPageFinal";
    static constexpr const char* picturesFolderName = "E7FirstPageFinal.files";

    // Reads Memo3.htm .. Memo6.htm (UTF-8 files) from folder; throws Error when one is
    // missing, unreadable or holds a character Windows-1253 cannot.
    static FirstPageTemplate Load(const std::filesystem::path& folder);
};

// One template block from UTF-8 text, split at CR LF, LF or CR; throws Error as Load.
std::vector<std::string> ReadTemplateBlock(ByteSource& source, const std::string& nameForMessages);

// The values the page inserts, before escaping.
struct FirstPageValues {
    std::string fiscalYear, period, name, fatherName, address, afm, gross, deductions, net;
};
FirstPageValues FirstPageValuesOf(const HeaderFields& header, const TotalsTexts& totals);

void WriteFirstPage(ByteSink& sink, const FirstPageTemplate& blocks, const HeaderFields& header,
                    const TotalsTexts& totals);

}  // namespace edlt::reports
