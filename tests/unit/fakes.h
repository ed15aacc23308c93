// Small fakes of the platform interfaces for the unit tests.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/form.h"

namespace quillora::testing {

// A window made of named controls in layout order; texts are plain byte strings.
class FakeForm : public Form {
 public:
  struct Entry {
    ControlInfo info;
    std::string text;
  };

  // Adds a control at the end of the layout order.
  FakeForm& Add(std::string name, std::string kind_name, std::string text = {}) {
    entries_.push_back({{std::move(name), std::move(kind_name), true, true}, std::move(text)});
    return *this;
  }

  Entry* Find(std::string_view name) {
    for (auto& e : entries_) {
      if (e.info.name == name) return &e;
    }
    return nullptr;
  }

  std::string Text(std::string_view control) override {
    Entry* e = Find(control);
    return e ? e->text : std::string();
  }
  void SetText(std::string_view control, std::string_view text) override {
    if (Entry* e = Find(control)) e->text = std::string(text);
    ++set_text_calls;
  }
  void AppendText(std::string_view control, std::string_view text) override {
    if (Entry* e = Find(control)) e->text.append(text);
  }
  std::vector<ControlInfo> Controls() override {
    std::vector<ControlInfo> out;
    for (const auto& e : entries_) out.push_back(e.info);
    return out;
  }

  int set_text_calls = 0;

 private:
  std::vector<Entry> entries_;
};

// A clock that reads a fixed tick count unless a test moves it.
class FakeClock : public Clock {
 public:
  explicit FakeClock(std::uint32_t tick = 0) : tick(tick) {}
  std::uint32_t TickCount() override { return tick; }
  std::uint32_t tick;
};

class FakeClipboard : public Clipboard {
 public:
  bool PutText(std::string_view text) override {
    content = std::string(text);
    ++puts;
    return true;
  }
  std::optional<std::string> content;
  int puts = 0;
};

// An in-memory file system: files and directories keyed by their full path.
class FakeFileSystem : public FileSystem {
 public:
  std::optional<std::string> ReadFile(std::string_view path) override {
    auto it = files.find(std::string(path));
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  bool ReplaceFile(std::string_view path, std::string_view content) override {
    if (fail_writes) return false;
    files[std::string(path)] = std::string(content);
    return true;
  }
  bool PathExists(std::string_view path) override {
    return files.count(std::string(path)) != 0 || unreadable.count(std::string(path)) != 0 ||
           DirectoryExists(path);
  }
  bool DirectoryExists(std::string_view path) override {
    return directories.count(std::string(path)) != 0;
  }
  bool CreateDirectories(std::string_view path) override {
    created.emplace_back(path);
    directories.insert(std::string(path));
    return true;
  }

  std::map<std::string, std::string> files;
  std::set<std::string> directories;
  std::set<std::string> unreadable;  // exist, but ReadFile fails on them
  std::vector<std::string> created;
  bool fail_writes = false;
};

}  // namespace quillora::testing
