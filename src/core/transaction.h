#pragma once

#include "core/data_file.h"
#include "core/record_file.h"

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <string>

namespace gim {

// One step that writes several record files (a posted daily-report line, a store booking, a new part with
// its opening movement) is all or nothing, under a kill, a full disk or a power cut.
//
// While a transaction is open, what the record layer writes (RawRecordFile::Write and Append) is held in
// memory, and what it reads sees those writes. Commit appends them all to the folder's journal
// (<ENV>.JNL) as one checksummed block that carries who wrote it (State::ProgramId) and names each file
// by its plain name in the data folder, and syncs it once: from then on the step is stored. The records
// are then written into their files; a journal found later (by start-up, or by the next step that takes
// the folder lock) is written into the files, each step once, and then emptied. A step abandoned before
// its commit (an exception, a refusal) leaves every file as it was. A torn journal tail, written by a
// commit that never finished, is ignored; a journal naming anything but this folder's data files is not
// applied but kept aside, and the user told.
//
// Transactions nest: an inner one joins the outer, and only the outermost commit writes. The folder write
// lock is held from the first read to the commit.
class Transaction final
{
public:
    explicit Transaction(Context& ctx);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Opens each data file the step will write, for writing, before anything is written: a protected file
    // stops the step then, with its message followed by the file's name ("ACCESO DENEGADO PORTAL.AVR").
    // A file that does not exist yet is fine when its folder takes new files. False when one cannot be
    // written (LastIOResult holds why; the message was shown when the caller reports).
    bool Prepare(const QStringList& fileNames, Report report = Report::Show);
    // Why Prepare refused: the message naming the file.
    const QString& Refusal() const { return m_refusal; }

    // Makes the step's writes durable as one and writes them into their files. Throws IoAbort naming the
    // journal when it cannot be written; nothing of the step is stored then. Once the journal is synced
    // nothing throws: what cannot be written into the files now is written from the journal later.
    void Commit();

private:
    Context& m_ctx;
    WriteLock m_lock;
    bool m_outermost = false;
    QString m_refusal;
};

// What the record layer asks of the open transaction (none open: nothing held). Sizes and offsets in bytes;
// `onDisk` is the file's size as it stands.
bool TransactionOpen(Context& ctx);
std::uint64_t TransactionFileSize(Context& ctx, const QString& path, std::uint64_t onDisk);
bool TransactionRead(Context& ctx, const QString& path, std::uint64_t offset, char* out, std::size_t size);
// Lays the step's writes that fall in the `size` bytes at `offset` over `out`.
void TransactionOverlay(Context& ctx, const QString& path, std::uint64_t offset, char* out, std::size_t size);
void TransactionWrite(Context& ctx, const QString& path, std::uint64_t onDisk, std::uint64_t offset,
                      const char* data, std::size_t size);
// The folder lock was taken: a journal left unwritten is written through first, unless it is this
// program's own and a transaction is opening.
void JournalOnFolderLocked(Context& ctx);

// Writes a journal left by an interrupted program into its files and empties it. Start-up and every step
// that takes the folder lock call it; it does nothing when there is no journal.
void RecoverJournal(Context& ctx);

// Writes the journal's records into their files for good (syncs them) and empties it: before a file is
// replaced whole (a sorted rewrite) or written outside a transaction, and when a command ends.
void CheckpointJournal(Context& ctx);

} // namespace gim
