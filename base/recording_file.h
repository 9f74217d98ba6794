#pragma once
// A file that a recording grows in as play goes. A regular file always holds
// whole lines that make a complete record: what was written up to the last
// flush, then a closing line that each flush writes anew after it. When the
// disk refuses a write (full, or failing) the file is put back as it was at
// the last flush and nothing more is written, so a crash, a kill or a full
// disk leaves the record of the run up to its last flush. A pipe or a device
// takes the lines in order, and the closing line once, at the end.

#include <string>

class RecordingFile {
 public:
  RecordingFile() = default;
  RecordingFile(const RecordingFile&) = delete;
  RecordingFile& operator=(const RecordingFile&) = delete;
  ~RecordingFile();

  // Opens `path` to record into, leaving what it holds as it is until the
  // first flush. A named pipe that no program reads is refused at once
  // rather than waited on. On failure returns false and sets *why.
  bool open(const std::string& path, std::string* why);
  // Start-up failed before anything was recorded: closes, and a file that
  // open() created goes again; an old file keeps its contents.
  void abandon();

  // Lines to put on disk at the next flush.
  void add(const std::string& lines);
  // Puts the added lines on disk, followed by `closing` (the first flush
  // replaces the old contents). Returns false when a write failed, now or
  // before; errno then says why.
  bool flush(const std::string& closing);
  // The last flush, then the file is closed. Returns false as flush does, or
  // when closing fails.
  bool close(const std::string& closing);

  bool isOpen() const { return fd >= 0; }
  const std::string& name() const { return path; }

 private:
  bool put(const std::string& lines, long long at);
  void stopAfterFailure();

  int fd = -1;
  std::string path;
  bool created = false;   // open() made the file
  bool seekable = false;  // a regular file: the closing line is rewritten at each flush
  bool started = false;   // the old contents are gone
  bool failed = false;
  long long kept = 0;
  std::string closingOnDisk;
  std::string pending;
};
