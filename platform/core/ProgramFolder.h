#pragma once
// The program folder the reader runs on.
//
// The reader opens every file by bare name in its program folder, and adding a poem writes the
// libraries there. Installed for the whole machine, that folder belongs to root, so each user
// runs on a program folder of their own: a copy of every library (each .idx with its .dat, and
// its .notes when it has some), which is theirs to write, and links to everything else of the
// installed folder (the reader, its music module, the picture viewer, the pictures, the music,
// the reference pages and the folders of the pages of every poet and form).
// Libraries the user puts there are theirs and are left alone.
//
// A library installed later (a newer default library) replaces the user's copy only while that
// copy is exactly what they received: `.lomeva-received` in their folder keeps, for each
// library, the checksums of the copy they got and the size, time and inode of the installed
// files when they were last looked at, so that an ordinary start reads no library at all.

#include <filesystem>
#include <string>
#include <vector>

// Where the user's own program folder goes: $XDG_DATA_HOME/lomeva when XDG_DATA_HOME is an
// absolute path, otherwise $HOME/.local/share/lomeva; empty when neither says.
std::filesystem::path UserProgramFolder();

// Makes `own` ready as the user's program folder for the files of `installed`, as above. False
// when it cannot, with the reason in `notes`.
bool PrepareOwnProgramFolder(const std::filesystem::path& installed,
                             const std::filesystem::path& own, std::vector<std::string>& notes);

// The folder to run on for an executable installed in `installed`: that folder when its user
// may write it (the build tree, an install into one's own prefix), otherwise `own`, made ready
// as above. When `own` cannot be made ready the answer is `installed`, and `notes` says why;
// `notes` also tells of a library kept because the user's copy differs from a newer one.
std::filesystem::path RunningProgramFolder(const std::filesystem::path& installed,
                                           const std::filesystem::path& own,
                                           std::vector<std::string>& notes);
