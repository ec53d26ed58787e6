// A small application built by the image builder from C++ and a project
// description, to show start-up working end to end: it reports through
// lineTrace what ran, in what order, and what the runtime answered, and the
// image test compares "trace.log" with the expected lines.
#include "test_app_project.h"

namespace {

using vs::Field;
using vs::Ref;
using vs::String;
using namespace vs_project;

void Trace(StringRecord* text) { lineTrace(text); }

VS_STRING(kGlobalsMade, "Globals constructed");
VS_STRING(kSecondSeesGlobals, "Second constructed after Globals");
VS_STRING(kSecondTooEarly, "Second constructed before Globals");
VS_STRING(kOpen, "App Open");
VS_STRING(kItemZeroNil, "project object 0 is nil");
VS_STRING(kItemOneGlobals, "project object 1 is the Globals module");
VS_STRING(kBaseMade, "Base constructor");
VS_STRING(kDerivedMade, "Derived constructor");
VS_STRING(kDerivedGone, "Derived destructor");
VS_STRING(kBaseGone, "Base destructor");
VS_STRING(kHello, "Hello from Base");
VS_STRING(kWaveDerived, "Derived waves");
VS_STRING(kWaveBase, "Base waves");
VS_STRING(kDescribeDerived, "I am Derived");
VS_STRING(kHooked, "hook 7 found in Base");
VS_STRING(kIsaOk, "Derived is a Base and a Greeter, not an App");
VS_STRING(kCount, "count = ");
VS_STRING(kLabel, "label");

using Method = void(__cdecl*)(ObjectRecord*);
void Call(CodeAddress code, ObjectRecord* o) { reinterpret_cast<Method>(code)(o); }

}  // namespace

extern "C" {

void Globals_Construct(ObjectRecord*, ClassRecord*) { Trace(&kGlobalsMade); }

void Second_Construct(ObjectRecord*, ClassRecord*) {
  Trace(vs_module_Globals ? &kSecondSeesGlobals : &kSecondTooEarly);
}

void Base_Construct(ObjectRecord* self, ClassRecord*) {
  Trace(&kBaseMade);
  stringSetter(self, Base::kLabel, &kLabel);
  Field<int32_t>(self, Base::kCount) = 41;
}

void Base_Destruct(ObjectRecord* self, ClassRecord*) {
  stringSetter(self, Base::kLabel, nullptr);
  Trace(&kBaseGone);
}

void Derived_Construct(ObjectRecord* self, ClassRecord*) {
  Trace(&kDerivedMade);
  Field<int32_t>(self, Base::kCount) += 1;  // the base's constructor ran first
}

void Derived_Destruct(ObjectRecord* self, ClassRecord*) {
  objSetter(self, Derived::kPartner, nullptr);
  Trace(&kDerivedGone);
}

void Base_Greet(ObjectRecord*) { Trace(&kHello); }
void Base_Wave(ObjectRecord*) { Trace(&kWaveBase); }
void Derived_Wave(ObjectRecord*) { Trace(&kWaveDerived); }
void Base_Describe(ObjectRecord*) {}
void Derived_Describe(ObjectRecord*) { Trace(&kDescribeDerived); }
void Base_Hook(ObjectRecord*) { Trace(&kHooked); }

void App_Open(ObjectRecord* app) {
  Trace(&kOpen);
  Field<int32_t>(app, App::kOpens) += 1;
  Ref none = Ref::Adopt(RuntimeProjectObject(0));
  if (!none) Trace(&kItemZeroNil);
  Ref first = Ref::Adopt(RuntimeProjectObject(1));
  if (first.get() == vs_module_Globals) Trace(&kItemOneGlobals);

  Ref derived = Ref::Adopt(RuntimeNewObject(kClassDerived));
  ObjectRecord* d = derived.get();
  if (RuntimeObjectIsa(d, kClassBase) && RuntimeObjectIsa(d, kClassGreeter) &&
      !RuntimeObjectIsa(d, kClassApp))
    Trace(&kIsaOk);
  Call(FindInterfaceVTableCode(d, 1, kClassGreeter), d);
  Call(FindInterfaceVTableCode(d, 2, kClassGreeter), d);
  Call(FindVTableCode(d, 0), d);
  Call(RuntimeFindHookCode(d, 7), d);
  String count = String::Adopt(StringStr(Field<int32_t>(d, Base::kCount)));
  String line = String::Borrow(&kCount) + count;
  Trace(line.get());
}

void TestAppEntry() {
  Win32InstallPlugins(PluginList());
  RuntimeInit(vs_project_record);
}

}  // extern "C"
