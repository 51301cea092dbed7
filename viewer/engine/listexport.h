#pragma once
// Writing the list on show to a file: the rows the model lists, in display order (sort
// and find filter applied), as TSV, CSV or JSON through TableWriter, cells as shown or
// without their padding blanks.
//
// The file is written atomically: into a temporary file beside it, renamed over the
// target only when everything was written. A failed or cancelled export leaves no file
// behind and an existing target as it was. The open table file is never written over,
// under whatever name it is given (a relative path, a link).
//
// Runs on the caller's thread. progress(rowsDone, rowsTotal) is called before the first
// row, every few thousand rows and after the last; returning false cancels the export.
// Nothing throws apart from std::bad_alloc.

#include "viewer/engine/tablewriter.h"

#include <QString>
#include <functional>

namespace Engine {

class TableListModel;

struct ExportRequest
{
    QString target;        // the file to write
    QString openTableFile; // the table file the list comes from; "" when none
    OutputFormat format = OutputFormat::Csv;
    bool unpadded = false; // right-aligned cells without the blanks before them
};

struct ExportResult
{
    enum class Status
    {
        Written,
        Cancelled,
        Failed
    };
    Status status = Status::Failed;
    // When Failed: "Cannot write <target>: <why>", for the user.
    QString message;
};

using ExportProgress = std::function<bool(qint64 rowsDone, qint64 rowsTotal)>;

ExportResult ExportList(const TableListModel &model, const ExportRequest &request,
                        const ExportProgress &progress = {});

} // namespace Engine
