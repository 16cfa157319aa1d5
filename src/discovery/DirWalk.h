#pragma once

#include "discovery/WildcardMask.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

#include <sys/types.h>

// The recursive folder walk that selects candidate files by a file mask and a folder mask.
// Shared by the dialog and the command line; knows no widgets.
//
// Order: a folder's qualifying files, then each sub-folder's result (depth-first pre-order),
// each folder listed by name ignoring case (names in capitals compared as text, then the exact
// bytes), so every copy of a tree gives the same list. Names starting with "." and
// entries that are neither regular files nor folders are never listed; symbolic links count
// as what they point to. A folder that cannot be read is treated as empty, and so is a folder
// that is already being walked higher up the current path (a link back to an ancestor), so
// links cannot make the walk grow exponentially with the depth.
class DirWalk {
public:
    // Both masks are compiled here; throws ConfluxError naming the mask when one is invalid,
    // before anything is walked. `depth` is read at every folder visit; `progress` runs after
    // every listing entry (callers pace their repaints).
    DirWalk(const QString& fileMask, const QString& dirMask, std::function<double()> depth,
            std::function<void()> progress = {});

    // Walks StartDir (a "/" is appended when missing) at level recursCount + 1. recursCount
    // goes up by 1 on entry and down by 1 on every way out, exceptions included. nullopt when
    // the level exceeds the depth (so depth 1 walks the root only, depth <= 0 nothing).
    std::optional<QStringList> DirList(const QString& StartDir, int& recursCount) const;

    // A folder's identity on disk.
    struct FolderId {
        dev_t device;
        ino_t inode;
    };

private:
    // Appends the folder's results to `found`; false when the level is beyond the depth.
    // `ancestors` holds the folders being walked on the current path.
    bool walk(const QString& folder, const QByteArray& folderBytes, int& recursCount,
              std::vector<FolderId>& ancestors, QStringList& found) const;

    WildcardMask m_fileMask;
    WildcardMask m_dirMask;
    std::function<double()> m_depth;
    std::function<void()> m_progress;
};

// The leading decimal number of a trimmed text, as the depth field is read: "2" -> 2,
// "2.5" -> 2.5, " 3abc" -> 3, "-1" -> -1, "abc" and "" -> 0.
double leadingNumber(const QString& text);
