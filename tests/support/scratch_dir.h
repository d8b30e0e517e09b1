#pragma once
// A fresh directory per test under the build's temporary area, removed afterwards. The
// environment fixture also points HOME, the XDG folders, TMP/TMPDIR/TEMP, SVTEMP and
// SVKEEP into it, so no test touches the user's real directories.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace yl::testing {

class ScratchDir {
 public:
  // Directory searches refuse names over 50 characters, so tests of them ask for a root
  // that stays short whatever the checkout path is.
  enum class Root { kBuildTree, kShort };
  explicit ScratchDir(Root root = Root::kBuildTree);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // Writes a file (creating parent directories) and returns its full path.
  std::string Write(const std::string& name, const std::string& content) const;
  std::string Read(const std::string& name) const;
  std::string MakeDir(const std::string& name) const;

 private:
  std::string path_;
};

// Sets environment variables for the lifetime of the object and restores them after.
class ScopedEnv {
 public:
  ScopedEnv() = default;
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  void Set(const std::string& name, const std::string& value);
  void Unset(const std::string& name);

 private:
  void Remember(const std::string& name);
  std::map<std::string, std::optional<std::string>> saved_;
};

class IsolatedEnvTest : public ::testing::Test {
 protected:
  explicit IsolatedEnvTest(ScratchDir::Root root = ScratchDir::Root::kBuildTree);
  ScratchDir scratch;
  ScopedEnv env;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& content);

}  // namespace yl::testing
