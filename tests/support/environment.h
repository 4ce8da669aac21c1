// An environment variable set for the life of a scope, POSIX only: the old value (or its
// absence) comes back at the end.
#pragma once

#include <stdlib.h>  // setenv, unsetenv

#include <cstdlib>
#include <optional>
#include <string>

namespace test_support {

class ScopedEnv {
public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      saved_ = old;
    }
    ::setenv(name, value.c_str(), 1);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  ~ScopedEnv() {
    if (saved_) {
      ::setenv(name_, saved_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

private:
  const char* name_;
  std::optional<std::string> saved_;
};

}  // namespace test_support
