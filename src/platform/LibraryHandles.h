#pragma once
#include <memory>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>
#include <sqlite3.h>
#include <xlsxwriter.h>

// Internal to the platform layer: the one place where the handles of libxml2, libxslt, SQLite and
// libxlsxwriter get their owners. Every handle the program keeps lives in one of these, so that no
// path (an early return, a Failure) leaks or double-frees one.

namespace zorva::platform {

template <auto Free>
struct FreeWith {
    template <typename T>
    void operator()(T* handle) const
    {
        Free(handle);
    }
};

using XmlDocPtr = std::unique_ptr<xmlDoc, FreeWith<xmlFreeDoc>>;
using XmlParserContextPtr = std::unique_ptr<xmlParserCtxt, FreeWith<xmlFreeParserCtxt>>;
using XmlOutputBufferPtr = std::unique_ptr<xmlOutputBuffer, FreeWith<xmlOutputBufferClose>>;

// A compiled stylesheet frees the stylesheet document with it.
using XsltStylesheetPtr = std::unique_ptr<xsltStylesheet, FreeWith<xsltFreeStylesheet>>;
using XsltTransformContextPtr = std::unique_ptr<xsltTransformContext, FreeWith<xsltFreeTransformContext>>;
using XsltSecurityPrefsPtr = std::unique_ptr<xsltSecurityPrefs, FreeWith<xsltFreeSecurityPrefs>>;

// Closing a workbook writes it; a workbook given up on is closed (and its file discarded) the same way.
using XlsxWorkbookPtr = std::unique_ptr<lxw_workbook, FreeWith<workbook_close>>;

using SqliteHandle = std::unique_ptr<sqlite3, FreeWith<sqlite3_close_v2>>;
using SqliteStatement = std::unique_ptr<sqlite3_stmt, FreeWith<sqlite3_finalize>>;

// The statement compiled, or nothing when SQLite refuses it (sqlite3_errmsg of the handle says why).
inline SqliteStatement prepare(sqlite3* handle, const char* sql, unsigned int flags = 0)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v3(handle, sql, -1, flags, &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return nullptr;
    }
    return SqliteStatement(raw);
}

}  // namespace zorva::platform
