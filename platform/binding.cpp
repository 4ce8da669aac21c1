// The loader side of start-up binding: LoadLibraryA/GetProcAddress on Windows, dlopen/dlsym
// elsewhere. These two loader calls are the only system functions the program imports directly.
#include "platform/binding.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#ifdef _WIN32
#include "platform/win32/win32.h"
#else
#include <dlfcn.h>
#endif

#include "platform/fatal.h"

namespace platform {

namespace {

constexpr std::size_t kDecoratedBufferSize = 250;
constexpr std::size_t kMaxDecoratedNameChars = 244;
constexpr int kMaxDecoration = 200;
constexpr std::string_view kLoadFailure = "could not load: ";
constexpr std::string_view kImportFailure = "could not import: ";

RawProc lookUp(LibraryHandle library, const char* name) noexcept {
#ifdef _WIN32
  return reinterpret_cast<RawProc>(::GetProcAddress(static_cast<HMODULE>(library), name));
#else
  return reinterpret_cast<RawProc>(::dlsym(library, name));
#endif
}

[[noreturn]] void loadError(std::string_view name) {
  showErrorMessage(kLoadFailure);
  showErrorMessage(name);
  showErrorMessage("\n");
  std::exit(1);
}

// Writes "_<name>@<n>" into the buffer, keeping at most 244 characters of the name.
const char* decoratedName(std::array<char, kDecoratedBufferSize>& buffer, std::string_view name,
                          int decoration) noexcept {
  const auto kept = name.substr(0, kMaxDecoratedNameChars);
  std::snprintf(buffer.data(), buffer.size(), "_%.*s@%d", static_cast<int>(kept.size()),
                kept.data(), decoration);
  return buffer.data();
}

LibraryHandle tryLoadLibrary(std::string_view name) noexcept {
  const std::string zeroTerminated(name);
#ifdef _WIN32
  return ::LoadLibraryA(zeroTerminated.c_str());
#else
  return ::dlopen(zeroTerminated.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}

// The plain name, then its decorated forms; null when there is none.
RawProc findFunction(LibraryHandle library, std::string_view name) {
  const std::string zeroTerminated(name);
  if (RawProc proc = lookUp(library, zeroTerminated.c_str())) {
    return proc;
  }
  std::array<char, kDecoratedBufferSize> buffer{};
  for (int decoration = 0; decoration <= kMaxDecoration; decoration += 4) {
    if (RawProc proc = lookUp(library, decoratedName(buffer, name, decoration))) {
      return proc;
    }
  }
  return nullptr;
}

}  // namespace

LibraryHandle loadLibrary(std::string_view name) {
  LibraryHandle library = tryLoadLibrary(name);
  if (library == nullptr) {
    loadError(name);
  }
  return library;
}

RawProc bindFunction(LibraryHandle library, std::string_view name) {
  if (RawProc proc = findFunction(library, name)) {
    return proc;
  }
  procAddrError(name);
}

void procAddrError(std::string_view name) {
  showErrorMessage(kImportFailure);
  showErrorMessage(name);
  showErrorMessage("\n");
  std::exit(1);
}

std::optional<BindingFailure> tryBindGroup(const BindingGroup& group) {
  const LibraryHandle library = tryLoadLibrary(group.library);
  if (library == nullptr) {
    return BindingFailure{BindingFailure::Kind::load, group.library};
  }
  for (const FunctionBinding& function : group.functions) {
    const RawProc proc = findFunction(library, function.name);
    if (proc == nullptr) {
      return BindingFailure{BindingFailure::Kind::import, function.name};
    }
    function.store(function.slot, proc);
  }
  return std::nullopt;
}

std::string bindingFailureText(const BindingFailure& failure) {
  const bool load = failure.kind == BindingFailure::Kind::load;
  return std::string(load ? kLoadFailure : kImportFailure) + std::string(failure.name);
}

void bindGroup(const BindingGroup& group) {
  if (const auto failure = tryBindGroup(group)) {
    if (failure->kind == BindingFailure::Kind::load) {
      loadError(failure->name);
    }
    procAddrError(failure->name);
  }
}

void bindGroups(std::initializer_list<const BindingGroup*> groups) {
  for (const BindingGroup* group : groups) {
    bindGroup(*group);
  }
}

}  // namespace platform
