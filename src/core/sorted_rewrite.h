#pragma once

#include "core/context.h"
#include "core/ordered_list.h"
#include "core/record_file.h"

#include <QFile>
#include <QString>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace gim {

enum class TwinVariant {
    Copy,         // the twin receives the file's whole records
    Rename,       // the twin is the old file as it stood
    CopyReversed, // the twin receives the whole records from the last to the first
};

// True for a record whose key marks it deleted ("Z").
template <typename T, typename Field> auto KeyIsDeleted(Field T::*key)
{
    return [key](const T& r) { return r.*key == "Z"; };
}

// The sorted rewrite through the twin: the twin takes the old contents, the records are ordered by
// `before` (ties in the order they are read: file order, or reversed for a rewrite that reads from the
// last record, whose copy twin then holds them reversed too), the records `drop` refuses are left out
// and the data file is written anew. Both files are replaced crash-safely. Returns false when the data file
// could not be opened (LastIOResult holds why, and its message was shown when `report` is set); a failure
// while writing throws IoAbort.
template <typename T, typename Before, typename Drop>
bool SortedRewrite(Context& ctx, const QString& dataName, const QString& twinName, Before before, Drop drop,
                   TwinVariant variant = TwinVariant::Copy, bool report = true,
                   LoadOrder order = LoadOrder::FirstToLast)
{
    std::string oldBytes;
    std::vector<T> records;
    {
        RecordFile<T> file(ctx);
        if (!file.Open(dataName, RawRecordFile::Mode::Reset, report))
            return false;
        if (variant == TwinVariant::Rename) {
            QFile whole(file.path());
            if (!whole.open(QIODevice::ReadOnly))
                throw IoAbort(IoCode::DiskRead, file.path());
            oldBytes = whole.readAll().toStdString();
        }
        records = file.ReadAll();
    }
    if (order == LoadOrder::LastToFirst)
        std::reverse(records.begin(), records.end());
    if (variant != TwinVariant::Rename) {
        oldBytes.assign(records.size() * sizeof(T), '\0');
        if (!records.empty())
            std::memcpy(oldBytes.data(), records.data(), oldBytes.size());
        if (variant == TwinVariant::CopyReversed)
            for (std::size_t i = 0; i < records.size(); ++i)
                std::memcpy(oldBytes.data() + i * sizeof(T), &records[records.size() - 1 - i], sizeof(T));
    }
    if (!twinName.isEmpty())
        WriteFileAtomically(ctx, ctx.Path(twinName), oldBytes);

    OrderAsInserted(records, before);
    std::vector<T> kept;
    kept.reserve(records.size());
    for (const T& r : records)
        if (!drop(r))
            kept.push_back(r);
    StoreRecords(ctx, dataName, kept);
    return true;
}

} // namespace gim
