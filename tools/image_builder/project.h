// The project description: the application's classes, project items and
// embedded plug-ins, written by hand as a JSON file next to the application's
// sources. See "Writing an application" in README.md for the format.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct ProjectField {
  std::string name;
  std::string type;  // int32, uint32, int16, int8, bool, color, string, object, pointer, double
  uint32_t offset = 0;
};

struct ProjectMethod {
  std::string name;
  std::string code;  // the C name of the function; empty for an interface's method
};

struct ProjectHandler {
  std::string event;
  std::string code;
  uint32_t key = 0;
};

struct ProjectClass {
  std::string name;
  bool builtIn = false;  // defined by the runtime: a reference by name
  // A control a plug-in registers at start-up: also a reference by name,
  // with the plug-in's data after the 92 bytes of a plug-in control.
  bool plugin = false;
  uint32_t pluginDataSize = 0;
  std::string super;     // "" for none
  bool isInterface = false;
  std::vector<ProjectField> fields;
  std::string constructor, destructor;
  std::vector<std::string> interfaces;
  std::vector<ProjectMethod> methods;
  std::vector<ProjectHandler> handlers;
  std::vector<ProjectHandler> menuHandlers;  // event = the menu item's name
  std::vector<std::string> vtable;
  uint32_t instanceSize = 0;  // worked out from the superclass and the fields
};

struct ProjectFileType {
  std::string name, creator, type, extensions;
};

struct ProjectItem {
  std::string type;  // module, settings, picture, menubar, movie, sound, cursor
  // module
  std::string className;
  // settings
  uint8_t optionFlag = 0;
  uint32_t reserved = 0;
  uint32_t languageCode = 0;
  std::vector<ProjectFileType> fileTypes;
  std::vector<std::string> messages;
  bool multipleDocuments = false;
  std::string title;
  // menubar: the menus as written (see menu_description.h), when no file is given
  std::string menusJson;
  // picture, menubar, sound: a file next to the project description
  std::string file;
  uint32_t value = 0;
};

// A (name, value) pair of a window or control description; every value is
// text, converted by the runtime through the property's declared type.
using DescribedProperty = std::pair<std::string, std::string>;

struct ProjectControl {
  std::string className;  // a built-in control class or a project class
  std::vector<DescribedProperty> properties;
};

struct ProjectWindow {
  std::string name;
  std::string className;  // derives from Window
  std::vector<DescribedProperty> properties;  // "Name" first
  std::vector<ProjectControl> controls;       // in creation order
};

struct Project {
  std::string directory;  // where the description lies; files are relative to it
  std::string entry;      // C name of the entry function
  std::vector<ProjectClass> classes;  // in class-index order
  std::vector<ProjectItem> items;     // item 1 first
  std::vector<std::string> plugins;   // library files to embed
  std::vector<ProjectWindow> windows;
};

// Reads and checks a project description: class names unique, superclasses
// and interfaces known (built-in names are added as references at the end of
// the class list), fields laid out. False with `error` set otherwise.
bool ReadProject(const std::string& path, Project& project, std::string& error);

// The index of the class named `name`, or -1.
int32_t ClassIndex(const Project& project, const std::string& name);
