// Start-up end to end, in an application the image builder made from C++ and
// a project description: it traces what ran, in what order, and what the
// runtime answered.
#include "test_app_project.h"
#include "tests/images/app_trace.h"

namespace {

using namespace vt;
using namespace vs_project;

VS_STRING(kLabel, "label");

using Method = void(__cdecl*)(ObjectRecord*);
void Call(CodeAddress code, ObjectRecord* o) { reinterpret_cast<Method>(code)(o); }

}  // namespace

extern "C" {

void Globals_Construct(ObjectRecord*, ClassRecord*) { Trace("Globals constructed"); }

void Second_Construct(ObjectRecord*, ClassRecord*) {
  Trace("Second constructed ", vs_module_Globals ? vt::Line("after") : vt::Line("before"), " Globals");
}

void Base_Construct(ObjectRecord* self, ClassRecord*) {
  Trace("Base constructor");
  stringSetter(self, Base::kLabel, &kLabel);
  Field<int32_t>(self, Base::kCount) = 41;
}

void Base_Destruct(ObjectRecord* self, ClassRecord*) {
  stringSetter(self, Base::kLabel, nullptr);
  Trace("Base destructor");
}

void Derived_Construct(ObjectRecord* self, ClassRecord*) {
  Trace("Derived constructor");
  Field<int32_t>(self, Base::kCount) += 1;  // the base's constructor ran first
}

void Derived_Destruct(ObjectRecord* self, ClassRecord*) {
  objSetter(self, Derived::kPartner, nullptr);
  Trace("Derived destructor");
}

void Base_Greet(ObjectRecord*) { Trace("Hello from Base"); }
void Base_Wave(ObjectRecord*) { Trace("Base waves"); }
void Derived_Wave(ObjectRecord*) { Trace("Derived waves"); }
void Base_Describe(ObjectRecord*) {}
void Derived_Describe(ObjectRecord*) { Trace("I am Derived"); }
void Base_Hook(ObjectRecord*) { Trace("hook 7 found in Base"); }

void App_Open(ObjectRecord* app) {
  Trace("App Open");
  Field<int32_t>(app, App::kOpens) += 1;
  Ref none = Ref::Adopt(RuntimeProjectObject(0));
  if (!none) Trace("project object 0 is nil");
  Ref first = Ref::Adopt(RuntimeProjectObject(1));
  if (first.get() == vs_module_Globals) Trace("project object 1 is the Globals module");

  Ref derived = Ref::Adopt(RuntimeNewObject(kClassDerived));
  ObjectRecord* d = derived.get();
  if (RuntimeObjectIsa(d, kClassBase) && RuntimeObjectIsa(d, kClassGreeter) &&
      !RuntimeObjectIsa(d, kClassApp))
    Trace("Derived is a Base and a Greeter, not an App");
  Call(FindInterfaceVTableCode(d, 1, kClassGreeter), d);
  Call(FindInterfaceVTableCode(d, 2, kClassGreeter), d);
  Call(FindVTableCode(d, 0), d);
  Call(RuntimeFindHookCode(d, 7), d);
  Trace("count = ", Field<int32_t>(d, Base::kCount));
}

void TestAppEntry() {
  Win32InstallPlugins(PluginList());
  RuntimeInit(vs_project_record);
}

}  // extern "C"
