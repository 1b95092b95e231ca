// Handles: the kernel-object handles of the platform (files, processes, threads), one table
// shared by the services so that CloseHandle closes any of them.
#pragma once

#include <memory>

#include "platform/WinTypes.h"

namespace tz2platform {

struct HandleObject {
  virtual ~HandleObject() = default;
};

HANDLE AddHandle(std::shared_ptr<HandleObject> object);
std::shared_ptr<HandleObject> FindHandle(HANDLE handle);
template <typename T>
std::shared_ptr<T> FindHandleOf(HANDLE handle) {
  return std::dynamic_pointer_cast<T>(FindHandle(handle));
}
// Removes the handle; false when it is not open.
bool RemoveHandle(HANDLE handle);

}  // namespace tz2platform
