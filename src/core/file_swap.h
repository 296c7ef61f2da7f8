#pragma once

#include "core/data_file.h"

#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace gim {

struct Context;

// A step that replaces or creates whole files (a restore, a new year's environment) is all or nothing,
// under a kill or a full disk, as the journal makes a step over records.
//
// The new files are written under scratch names in the data folder and synced. The commit then writes
// the list of renames and removals (the manifest) and syncs it: from there the step is stored. Then the
// files are renamed into place. A manifest found later (at start-up, or by the next step that takes the
// folder lock) has its renames finished; the scratch files of a step that never wrote its manifest are
// removed. Every path lies in the data folder or below it.
class FileSwap final
{
public:
    // Takes the folder lock and writes the journal through: the files replaced hold no record of it.
    explicit FileSwap(Context& ctx);
    // Without a commit nothing changed: the scratch files go.
    ~FileSwap();
    FileSwap(const FileSwap&) = delete;
    FileSwap& operator=(const FileSwap&) = delete;

    // A new empty scratch file that becomes `target` at the commit; the caller writes it.
    QString Scratch(const QString& target);
    // `bytes` become `target` at the commit.
    void Stage(const QString& target, std::string_view bytes);
    // `target` is removed at the commit.
    void Remove(const QString& target);
    // While the step is open, a file the record layer writes whole (WriteFileAtomically) whose path
    // `takes` accepts is staged here instead of written.
    void Capture(std::function<bool(const QString& path)> takes);

    // Makes the step durable and puts the files in place. Throws IoAbort when the manifest cannot be
    // written (nothing changed then), or when a rename fails after it (finished by the next recovery).
    void Commit();
    // The commit stored the step (its renames may still be unfinished).
    bool Stored() const { return m_done; }

private:
    struct Move
    {
        QString scratch; // empty: a removal
        QString target;
    };
    QString Relative(const QString& path) const;

    Context& m_ctx;
    WriteLock m_lock;
    std::vector<Move> m_moves;
    std::function<bool(const QString&)> m_takes;
    bool m_done = false;

    friend bool FileSwapTakes(Context& ctx, const QString& path, std::string_view bytes);
};

// Whether a file name is one of a step's scratch files, which are never data.
bool IsSwapScratch(const QString& fileName);

// A whole-file write that an open step captures: staged there. False when no step takes it.
bool FileSwapTakes(Context& ctx, const QString& path, std::string_view bytes);

// Finishes the renames of a manifest an interrupted step left, or removes the scratch files of a step
// that left none. `full` also looks for scratch files without any mark of a step (start-up: a power cut
// may lose the mark). Never throws; what cannot be finished now is tried again next time.
void RecoverFileSwap(Context& ctx, bool full = false);

} // namespace gim
