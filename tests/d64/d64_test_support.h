// d64/d64_test_support.h: what the D64 tests share: the documented 1541
// sector layout for poking raw image bytes, program files and transcripts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "d64/d64_files.h"
#include "image/output_set.h"
#include "image/program_file.h"
#include "log/msg_log.h"

namespace vantrel::test {

// Byte offset of a sector: 21 sectors on tracks 1-17, 19 on 18-24, 18 on
// 25-30, 17 from 31 (1541 User's Guide).
inline size_t D64Offset(int track, int sector) {
  int index = 0;
  for (int t = 1; t < track; ++t) index += t <= 17 ? 21 : t <= 24 ? 19 : t <= 30 ? 18 : 17;
  return static_cast<size_t>(index + sector) * 256;
}

inline constexpr size_t kBam = 91392;  // 18/0: 357 sectors in
inline constexpr size_t kDir = 91648;  // 18/1

// Every message as the console shows it, one per line.
inline std::string Transcript(const MsgLog& log) {
  std::string text;
  for (const MsgLogMsg& msg : log.Messages()) text += log.LineOf(msg) + "\n";
  return text;
}

// A PRG whose body is `size` bytes of a pattern that differs per `seed`.
inline ProgramFile MakePrg(uint16_t address, size_t size, int seed = 0) {
  ProgramFile file;
  file.type = FileType::Prg;
  file.load_address = address;
  std::vector<uint8_t> body(size);
  for (size_t i = 0; i < size; ++i) body[i] = static_cast<uint8_t>(i * 7 + seed * 31 + i / 254);
  file.SetData(body);
  return file;
}

// The file as a host .prg: load address first.
inline std::vector<uint8_t> PrgBytes(const ProgramFile& file) {
  std::vector<uint8_t> bytes{static_cast<uint8_t>(file.load_address & 0xFF),
                             static_cast<uint8_t>(file.load_address >> 8)};
  std::vector<uint8_t> body = file.Bytes();
  bytes.insert(bytes.end(), body.begin(), body.end());
  return bytes;
}

// A freshly formatted disk.
inline D64Image Blank(const std::string& name = "T") {
  D64Image image;
  image.Format(name, "64");
  return image;
}

// Puts `bytes` on the disk under the C64 file name `name`.
inline bool Put(MsgLog& log, D64Image& image, const std::string& name, const std::vector<uint8_t>& bytes) {
  D64FileSpec spec;
  return ParseC64Name(name, 0, spec) && PutFile(log, image, spec, bytes);
}

// Saves and commits at once, as a run with no other output does.
inline bool SaveNow(MsgLog& log, std::string_view text, const ProgramFile& file, bool overwrite) {
  OutputSet out(overwrite);
  return SaveToImage(log, out, text, file, "64") && out.Commit(log);
}

// A T64 archive as the C64S emulator lays it out: a 64-byte header
// (signature, version, slots, files used, tape name), a 32-byte slot per
// file (used, type $82, start, end, data offset, name padded with blanks),
// then the data. `end` 0 gives the end the data show; `used` -1 the count.
struct TapeProgram {
  std::string name;
  std::vector<uint8_t> prg;  // load address first
  uint16_t end = 0;
};
inline std::vector<uint8_t> TapeArchive(const std::vector<TapeProgram>& files, int used = -1) {
  std::vector<uint8_t> t(64 + 32 * files.size(), 0);
  const std::string head = std::string("C64 tape image file").append(13, '\0') + "\x01\x01";
  std::copy(head.begin(), head.end(), t.begin());
  t[0x22] = static_cast<uint8_t>(files.size());
  t[0x24] = static_cast<uint8_t>(used < 0 ? files.size() : used);
  std::fill_n(t.begin() + 0x28, 24, ' ');
  std::copy_n("GAME TAPE", 9, t.begin() + 0x28);
  for (size_t i = 0; i < files.size(); ++i) {
    const TapeProgram& f = files[i];
    const size_t end = f.end != 0 ? f.end : f.prg[0] + (f.prg[1] << 8) + f.prg.size() - 2, offset = t.size();
    const uint8_t slot[12] = {1, 0x82, f.prg[0], f.prg[1], static_cast<uint8_t>(end), static_cast<uint8_t>(end >> 8), 0, 0,
                              static_cast<uint8_t>(offset), static_cast<uint8_t>(offset >> 8), static_cast<uint8_t>(offset >> 16)};
    std::copy_n(slot, 12, t.begin() + static_cast<long>(64 + 32 * i));
    const std::string name = f.name + std::string(16 - f.name.size(), ' ');
    std::copy(name.begin(), name.end(), t.begin() + static_cast<long>(64 + 32 * i + 16));
    t.insert(t.end(), f.prg.begin() + 2, f.prg.end());
  }
  return t;
}

}  // namespace vantrel::test
