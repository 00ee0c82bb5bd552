// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/XlsWorkbookStream.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>

#include <memory>

#include "core/import/CellText.h"

namespace edlt::sheet::xls {
namespace {

// libgsf reports a damaged container on stderr as well as by its result; the user gets
// our message instead.
void quietLibgsf()
{
    static const bool quiet = [] {
        for (const char* domain : {"libgsf", "libgsf:msole", "GLib-GObject"})
            g_log_set_handler(
                domain, GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING),
                [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
        return true;
    }();
    (void)quiet;
}

// The workbook stream of an OLE2 file, whole.
WorkbookStream workbookStream(GsfInput* input)
{
    quietLibgsf();
    struct Unref {
        void operator()(void* p) const
        {
            if (p) g_object_unref(p);
        }
    };
    std::unique_ptr<GsfInput, Unref> owned(input);
    if (!input) fail(SheetFault::NotSpreadsheet);
    const gsf_off_t containerSize = gsf_input_size(input);
    std::unique_ptr<GsfInfile, Unref> ole(gsf_infile_msole_new(input, nullptr));
    if (!ole) fail(SheetFault::NotSpreadsheet);
    std::unique_ptr<GsfInput, Unref> book(gsf_infile_child_by_name(ole.get(), "Workbook"));
    if (!book) book.reset(gsf_infile_child_by_name(ole.get(), "Book"));
    if (!book) {
        if (std::unique_ptr<GsfInput, Unref> encrypted(gsf_infile_child_by_name(ole.get(), "EncryptedPackage"));
            encrypted)
            fail(SheetFault::Protected);
        fail(SheetFault::NotSpreadsheet);
    }
    const gsf_off_t size = gsf_input_size(book.get());
    // A stream cannot hold more than its container: a larger claim is a damaged file.
    if (size < 0 || size > containerSize) fail(SheetFault::Corrupt);
    WorkbookStream stream;
    stream.bytes.assignZeroed(static_cast<size_t>(size));
    if (size > 0 && !gsf_input_read(book.get(), stream.bytes.size(), reinterpret_cast<guint8*>(&stream.bytes[0])))
        fail(SheetFault::Corrupt);
    return stream;
}

}  // namespace

WorkbookStream workbookStreamOfFile(const std::filesystem::path& path)
{
    return workbookStream(gsf_input_mmap_new(path.c_str(), nullptr));
}

WorkbookStream workbookStreamInMemory(std::string_view bytes)
{
    return workbookStream(gsf_input_memory_new(reinterpret_cast<const guint8*>(bytes.data()),
                                               static_cast<gsf_off_t>(bytes.size()), false));
}

}  // namespace edlt::sheet::xls
