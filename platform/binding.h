// Start-up binding of system functions by name. Each module declares its binding groups as
// data: a library name and an ordered list of exported names with the slots they fill. The
// slot types come from the system's own declarations (decltype(&::Name)), so they cannot drift.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
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

// A group's functions are listed once, as an X-macro `#define <GROUP>_FUNCTIONS(X) X(Name) ...`;
// the list expands into the slots (inside the group's namespace) and into the group's entries,
// so a slot without an entry, or a name written twice, cannot occur.
// NOLINTNEXTLINE(bugprone-macro-parentheses): the argument is the name being declared
#define PLATFORM_BINDING_SLOT(name) inline decltype(&::name) name = nullptr;
#define PLATFORM_BINDING_ENTRY(name) ::platform::Bind(#name, (name)),

// One library's group where its list is declared: the slots in namespace `space`, and
// `space::bindings()`, the group built once from the same list, for the start-up to bind.
// NOLINTBEGIN(bugprone-macro-parentheses): the arguments are a namespace and a list's name
#define PLATFORM_BINDING_GROUP(space, library, LIST)                                      \
  namespace space {                                                                       \
  LIST(PLATFORM_BINDING_SLOT)                                                             \
  [[nodiscard]] inline const ::platform::BindingGroup& bindings() {                       \
    static const ::platform::BindingGroup group{library, {LIST(PLATFORM_BINDING_ENTRY)}}; \
    return group;                                                                         \
  }                                                                                       \
  }
// NOLINTEND(bugprone-macro-parentheses)

// What stopped a group from binding: the library, or the first function that is missing.
struct BindingFailure {
  enum class Kind { load, import } kind;
  std::string_view name;
};

// The one binding policy: opens the group's library and fills the slots in the listed order,
// looking each name up as bindFunction does. Stops at the first missing piece and returns it;
// the slots filled before it keep their values. The library stays loaded: the slots point in.
[[nodiscard]] std::optional<BindingFailure> tryBindGroup(const BindingGroup& group);

// "could not load: <name>" or "could not import: <name>", the line bindGroup ends with.
[[nodiscard]] std::string bindingFailureText(const BindingFailure& failure);

// tryBindGroup, and on failure "could not load: <name>" or "could not import: <name>" on
// standard error and exit code 1.
void bindGroup(const BindingGroup& group);

// Binds the groups in the given order.
void bindGroups(std::initializer_list<const BindingGroup*> groups);

// Opens a library by name; on failure writes "could not load: <name>" and exits with code 1.
[[nodiscard]] LibraryHandle loadLibrary(std::string_view name);

// Looks a function up by name, then by its decorated forms "_<name>@<n>" for n = 0, 4, ... 200;
// if none is found, reports it through procAddrError. Never returns null.
[[nodiscard]] RawProc bindFunction(LibraryHandle library, std::string_view name);

// Writes "could not import: <name>" to standard error and exits with code 1.
[[noreturn]] void procAddrError(std::string_view name);

}  // namespace platform
