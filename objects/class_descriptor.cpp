// ReadClassDescriptor; see class_descriptor.h.
#include "objects/class_descriptor.h"

#include "sdk/image_format.h"

namespace {

// A SpanReader that also reads code addresses, which must lie in the code
// block (0 stands for none).
class DescriptorReader : public SpanReader {
 public:
  DescriptorReader(uint32_t address, MemorySpan data, MemorySpan code)
      : SpanReader(address, data), code_(code) {}

  uint32_t Code() {
    uint32_t address = Word();
    if (Ok() && address != 0 && !code_.Holds(address, 1)) Fail();
    return address;
  }
  uint32_t Position() const { return static_cast<uint32_t>(Here()); }

 private:
  MemorySpan code_;
};

// `count` members as `read` reads each; the count must fit entries of `size`.
template <typename Read>
void ReadMembers(DescriptorReader& r, uint32_t size, std::vector<DescribedMember>& out, Read read) {
  uint32_t count = r.Count(size, image::kMaxMembers);
  for (uint32_t i = 0; i < count && r.Ok(); ++i) out.push_back(read());
}

}  // namespace

bool ReadClassDescriptor(uint32_t address, MemorySpan data, MemorySpan code, ClassDescriptor& out) {
  DescriptorReader r(address, data, code);
  out.kind = r.Word();
  if (out.kind == 1) {
    out.name = r.Text();
    return r.Ok();
  }
  if (out.kind != 0) return false;
  out.instanceSize = r.Word();
  out.name = r.Text();
  out.superclass = r.Word();
  if (r.Word() != 0) {
    out.constructor = r.Code();
    out.destructor = r.Code();
  }
  out.isInterface = static_cast<uint8_t>(r.Word()) != 0;  // a byte in the record
  uint32_t interfaces = r.Count(4, image::kMaxMembers);
  for (uint32_t i = 0; i < interfaces && r.Ok(); ++i) out.interfaces.push_back(r.Word());
  ReadMembers(r, out.isInterface ? 4 : 8, out.methods, [&] {
    std::string_view name = r.Text();
    return DescribedMember{name, out.isInterface ? 0 : r.Code(), 0};
  });
  ReadMembers(r, 12, out.handlers, [&] {
    std::string_view name = r.Text();
    uint32_t code = r.Code();
    return DescribedMember{name, code, r.Word()};
  });
  ReadMembers(r, 8, out.menuHandlers, [&] {
    std::string_view name = r.Text();
    return DescribedMember{name, r.Code(), 0};
  });
  out.vtableCount = r.Count(4, image::kMaxMembers);
  out.vtable = r.Position();
  for (uint32_t i = 0; i < out.vtableCount && r.Ok(); ++i) r.Code();
  return r.Ok();
}

bool InstanceSizeFits(uint32_t instanceSize) {
  return instanceSize >= kObjectHeaderBytes && instanceSize <= image::kMaxInstanceSize;
}
