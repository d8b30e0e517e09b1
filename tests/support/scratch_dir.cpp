#include "support/scratch_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace yl::testing {

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteFileBytes(const std::string& path, const std::string& content) {
  fs::path p(path);
  if (p.has_parent_path()) fs::create_directories(p.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

ScratchDir::ScratchDir(Root where) {
  const char* base = std::getenv("YL_TEST_SCRATCH");
  std::string root = base ? base : fs::temp_directory_path().string();
  if (where == Root::kShort) root = "/tmp";
  std::string templ = root + "/yltest-XXXXXX";
  if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed under " + root);
  path_ = templ;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

std::string ScratchDir::Write(const std::string& name, const std::string& content) const {
  std::string p = path_ + "/" + name;
  WriteFileBytes(p, content);
  return p;
}

std::string ScratchDir::Read(const std::string& name) const {
  return ReadFileBytes(path_ + "/" + name);
}

std::string ScratchDir::MakeDir(const std::string& name) const {
  std::string p = path_ + "/" + name;
  fs::create_directories(p);
  return p;
}

void ScopedEnv::Remember(const std::string& name) {
  if (saved_.count(name)) return;
  const char* v = std::getenv(name.c_str());
  saved_[name] = v ? std::optional<std::string>(v) : std::nullopt;
}

void ScopedEnv::Set(const std::string& name, const std::string& value) {
  Remember(name);
  setenv(name.c_str(), value.c_str(), 1);
}

void ScopedEnv::Unset(const std::string& name) {
  Remember(name);
  unsetenv(name.c_str());
}

ScopedEnv::~ScopedEnv() {
  for (const auto& [name, value] : saved_) {
    if (value) {
      setenv(name.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name.c_str());
    }
  }
}

IsolatedEnvTest::IsolatedEnvTest(ScratchDir::Root root) : scratch(root) {
  std::string home = scratch.MakeDir("home");
  env.Set("HOME", home);
  env.Set("XDG_CONFIG_HOME", scratch.MakeDir("home/.config"));
  env.Set("XDG_DATA_HOME", scratch.MakeDir("home/.local/share"));
  env.Set("XDG_CACHE_HOME", scratch.MakeDir("home/.cache"));
  std::string tmp = scratch.MakeDir("tmp");
  env.Set("TMP", tmp);
  env.Set("TMPDIR", tmp);
  env.Set("TEMP", tmp);
  env.Set("SVTEMP", scratch.MakeDir("svtemp"));
  env.Set("SVKEEP", scratch.MakeDir("svkeep"));
  env.Unset("SVDIR");
}

}  // namespace yl::testing
