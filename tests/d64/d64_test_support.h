// d64/d64_test_support.h: what the D64 tests share: the documented 1541
// sector layout for poking raw image bytes, program files and transcripts.
#pragma once

#include <cstdint>
#include <cstdlib>
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

inline bool HaveTool(const std::string& name) {
  std::string command = "command -v ";
  command += name + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

}  // namespace vantrel::test
