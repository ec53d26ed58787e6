// The BevelButton's menu rows and action receivers: two singly linked lists
// in the library's own memory, holding references to their strings and
// objects for as long as the nodes live.
#include "plugin_library/bevel_button.h"
#include "plugin_library/plug_allocator.h"
#include "plugin_library/runtime_services.h"

namespace {

// A detached row holding its own reference to `text`; null when out of memory.
MenuRow* NewRow(PlugString text, bool separator) {
  MenuRow* row = static_cast<MenuRow*>(PlugAlloc(sizeof(MenuRow)));
  if (!row) return nullptr;
  LockString(text);
  row->text = text;
  row->separator = separator ? 1 : 0;
  return row;
}

// Releases a detached row and its text.
void FreeRow(MenuRow* row) {
  UnlockString(row->text);
  PlugFree(row);
}

// The link that points at position `row`, or at the list's end when the
// position is past the last row (or negative positions at its front).
MenuRow** LinkAt(BevelButtonData* data, int row) {
  MenuRow** link = &data->rows;
  for (int i = 0; i < row && *link; ++i) link = &(*link)->next;
  return link;
}

// The row at a 0-based position, or null.
MenuRow* RowAt(BevelButtonData* data, int row) {
  if (row < 0) return nullptr;
  return *LinkAt(data, row);
}

// Adds a row after the last one.
void Append(PlugInstance instance, PlugString text, bool separator) {
  BevelButtonData* data = BevelData(instance);
  MenuRow** end = LinkAt(data, 0x7FFFFFFF);
  if (MenuRow* row = NewRow(text, separator)) *end = row;
}

// Empties the row list.
void FreeRows(BevelButtonData* data) {
  while (MenuRow* row = data->rows) {
    data->rows = row->next;
    FreeRow(row);
  }
}

}  // namespace

void __cdecl BevelDeleteAllRows(PlugInstance instance) { FreeRows(BevelData(instance)); }

void __cdecl BevelAddRow(PlugInstance instance, PlugString text) { Append(instance, text, false); }

void __cdecl BevelAddSeparator(PlugInstance instance) { Append(instance, nullptr, true); }

void __cdecl BevelRemoveRow(PlugInstance instance, int row) {
  if (row < 0) return;
  MenuRow** link = LinkAt(BevelData(instance), row);
  MenuRow* victim = *link;
  if (!victim) return;
  *link = victim->next;
  FreeRow(victim);
}

void __cdecl BevelInsertRow(PlugInstance instance, int row, PlugString text) {
  MenuRow** link = LinkAt(BevelData(instance), row);
  MenuRow* fresh = NewRow(text, false);
  if (!fresh) return;
  fresh->next = *link;
  *link = fresh;
}

PlugString __cdecl BevelList(PlugInstance instance, int row) {
  MenuRow* found = RowAt(BevelData(instance), row);
  PlugString text = found ? found->text : nullptr;
  LockString(text);
  return text;
}

void __cdecl BevelListAssign(PlugInstance instance, int row, PlugString text) {
  MenuRow* found = RowAt(BevelData(instance), row);
  if (!found) return;
  LockString(text);
  UnlockString(found->text);
  found->text = text;
}

void __cdecl BevelAddReceiver(PlugInstance instance, PlugObject receiver) {
  if (!receiver) return;
  BevelButtonData* data = BevelData(instance);
  ReceiverNode* node = static_cast<ReceiverNode*>(PlugAlloc(sizeof(ReceiverNode)));
  if (!node) return;
  LockObject(receiver);
  node->receiver = receiver;
  node->next = data->receivers;
  data->receivers = node;
}

void __cdecl BevelRemoveReceiver(PlugInstance instance, PlugObject receiver) {
  for (ReceiverNode** link = &BevelData(instance)->receivers; *link; link = &(*link)->next) {
    ReceiverNode* node = *link;
    if (node->receiver != receiver) continue;
    *link = node->next;
    UnlockObject(node->receiver);
    PlugFree(node);
    return;
  }
}

void FreeBevelLists(BevelButtonData* data) {
  FreeRows(data);
  while (ReceiverNode* node = data->receivers) {
    data->receivers = node->next;
    UnlockObject(node->receiver);
    PlugFree(node);
  }
}
