#pragma once
// What keeps a server's code in memory: every live object and every server lock holds it. The
// local server ends its process when the last hold goes; the in-process server lets COM unload
// it.

namespace zsim::win32 {

class ObjectLifetime {
 public:
  virtual void Lock() = 0;
  virtual void Unlock() = 0;

 protected:
  ~ObjectLifetime() = default;
};

}  // namespace zsim::win32
