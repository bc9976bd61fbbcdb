// d64/t64_archive.h: T64 tape archives (one file of a C64 tape's programs,
// made by emulators): reading the header and directory as far as the data
// bears them out, listing, loading one file and extracting all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "d64/d64_directory.h"
#include "d64/d64_file_spec.h"
#include "image/program_file.h"
#include "log/msg_log.h"

namespace vantrel {

struct TapeFile {
  DirEntry entry;  // name, kind and place, as a disk directory would hold them
  uint16_t start = 0;
  size_t offset = 0;  // of the data in the archive
  size_t length = 0;  // data bytes, without the load address
};

struct TapeArchive {
  std::string tape_name;  // 24 bytes, as stored
  std::vector<TapeFile> files;
  std::vector<uint8_t> bytes;
};

bool IsTapeArchivePath(const std::string& path);

// Reads the archive, reporting what is wrong with it: a header count or an
// end address the data contradicts is a Warning, and the data wins.
bool ReadTapeArchive(MsgLog& log, const std::string& path, TapeArchive& archive);
// Builds the archive from bytes; the messages name `path`.
bool ParseTapeArchive(MsgLog& log, const std::string& path, std::vector<uint8_t> bytes, TapeArchive& archive);

// The bytes of a file as a .prg holds them: load address first.
std::vector<uint8_t> TapeFileBytes(const TapeArchive& archive, const TapeFile& file);

// Loads the file `spec` names, as LoadFromImage does for a disk.
bool LoadFromTape(MsgLog& log, const std::string& path, const D64FileSpec& spec, ProgramFile& out);

// The directory as a listing shows it: the tape name, then one line a file.
std::string TapeListing(const TapeArchive& archive);

}  // namespace vantrel
