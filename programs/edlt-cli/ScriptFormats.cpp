// SPDX-License-Identifier: GPL-3.0-or-later
// What the commands share for scripts: --format, output as it is, and the file a message is
// about.
#include <iostream>

#include "core/base/Cp1253.h"
#include "programs/edlt-cli/Cli.h"

namespace edlt::cli {

std::string namingFile(const std::string& cp1253Text, const std::string& file)
{
    const std::string name = cp1253::pathText(file);
    if (cp1253Text.find("(" + name) != std::string::npos) return cp1253Text;
    return cp1253Text + " (" + name + ")";
}

std::optional<OutputFormat> outputFormat(const ParsedArgs& parsed, bool tsvToo)
{
    const std::string value = parsed.value("--format").value_or("text");
    if (value == "text") return OutputFormat::Text;
    if (value == "json") return OutputFormat::Json;
    if (value == "tsv" && tsvToo) return OutputFormat::Tsv;
    return std::nullopt;
}

void printUtf8(const std::string& utf8)
{
    std::cout << utf8;
}

}  // namespace edlt::cli
