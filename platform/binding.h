// Start-up binding of system functions by name. Each module declares its binding groups as
// data: a library name and an ordered list of exported names with the slots they fill. The
// slot types come from the system's own declarations (decltype(&::Name)), so they cannot drift.
#pragma once

#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

namespace platform {

using LibraryHandle = void*;
using RawProc = void (*)();

// One function of a group: its exported name and the slot that receives its address.
struct FunctionBinding {
  std::string_view name;
  void* slot;
  void (*store)(void* slot, RawProc proc);
};

// Declares the binding of `name` into `slot`; the slot keeps its own function-pointer type.
template <typename Fn>
[[nodiscard]] FunctionBinding Bind(std::string_view name, Fn& slot) noexcept {
  return FunctionBinding{name, &slot, [](void* target, RawProc proc) {
                           // The loader returns untyped addresses; the slot's declared type is
                           // the system's own declaration of this name.
                           *static_cast<Fn*>(target) = reinterpret_cast<Fn>(proc);
                         }};
}

struct BindingGroup {
  std::string_view library;
  std::vector<FunctionBinding> functions;
};

// Opens a library by name; on failure writes "could not load: <name>" and exits with code 1.
[[nodiscard]] LibraryHandle loadLibrary(std::string_view name);

// Looks a function up by name, then by its decorated forms "_<name>@<n>" for n = 0, 4, ... 200;
// if none is found, reports it through procAddrError. Never returns null.
[[nodiscard]] RawProc bindFunction(LibraryHandle library, std::string_view name);

// Writes "could not import: <name>" to standard error and exits with code 1.
[[noreturn]] void procAddrError(std::string_view name);

// Opens the group's library once and fills every slot, in the listed order.
void bindGroup(const BindingGroup& group);

// Binds the groups in the given order.
void bindGroups(std::initializer_list<const BindingGroup*> groups);

// Writes a text to standard error and flushes it at once.
void showErrorMessage(std::string_view text) noexcept;

// Looks a name up without any report: null when the library has no such export. For the
// optional bindings, whose absence is not an error.
[[nodiscard]] RawProc findExport(LibraryHandle library, std::string_view name) noexcept;

// Opens a library without any report: null when it cannot be opened.
[[nodiscard]] LibraryHandle tryLoadLibrary(std::string_view name) noexcept;

}  // namespace platform
