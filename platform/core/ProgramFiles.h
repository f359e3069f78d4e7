#pragma once
// The numbered files of the program folder: the background pictures the poem page may show and
// the pieces of music the reader may play, chosen by number on the background page. The build
// reads the counts and the names below from this file too (cmake/ProgramFiles.cmake), to know
// which files the generators make: keep each on one line, as it stands.

#include <string>

inline constexpr unsigned kBackgroundPictureCount = 38;
inline constexpr char kBackgroundPictureName[] = "bgpic%u.jpg";
inline constexpr unsigned kBackgroundMusicCount = 12;
inline constexpr char kBackgroundMusicName[] = "sound%u.wav";

// What every start shows and plays.
inline constexpr unsigned kDefaultBackgroundPicture = 27;
inline constexpr unsigned kDefaultBackgroundMusic = 1;

// The bare file name of picture or piece `number`, counted from 1 without leading zeros:
// "bgpic7.jpg", "sound12.wav".
std::string BackgroundPictureName(unsigned number);
std::string BackgroundMusicName(unsigned number);
