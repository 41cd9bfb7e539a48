#pragma once
// The binary records shared by the host and every gauge module. The host reads them by their
// layout, so every field is present, including the ones only the host uses. Packed on 4 bytes:
// a double may sit at an offset that is not a multiple of 8 (TokenVar::value).
#include <cstddef>
#include <cstdint>

#include "frame/abi.h"

namespace frame {

struct GaugeHeader;
struct ElementHeader;
struct TokenVar;
struct MouseArea;
struct PanelServices;

using ModuleFn = void(GAUGE_CALL*)();
using RoutineFn = void(GAUGE_CALL*)();
using RoutineArgFn = void(GAUGE_CALL*)(uint32_t);
using IconCallback = double(GAUGE_CALL*)(TokenVar*);
using ValueCallback = double(GAUGE_CALL*)(TokenVar*);
using TextCallback = double(GAUGE_CALL*)(double);
using MouseFunction = uint32_t(GAUGE_CALL*)(uint32_t, uint32_t);

#pragma pack(push, 4)

struct Linkage {
  uint32_t module_id;  // 0x13
  ModuleFn module_init;
  ModuleFn module_deinit;
  uint32_t reserved[3];
  GaugeHeader* gauges[2];  // one header, then null
};

struct ImportEntry {
  uint32_t id;  // 0xF for the panel services, 0 ends the list
  PanelServices* services;
};

struct ImportTable {
  ImportEntry entries[2];
};

struct GaugeHeader {
  uint32_t version;  // 610
  const char* name;
  ElementHeader* const* elements;  // top-level element, then null
  RoutineFn query;
  RoutineArgFn install;
  RoutineFn initialize;
  RoutineFn update;
  RoutineArgFn generate;
  RoutineFn draw;
  RoutineFn kill;
  uint32_t reserved_28;
  uint32_t horizontal_size;
  uint32_t vertical_size;
  uint32_t reserved_34[7];
  uint32_t mouse_list;  // 0: the install routine hands the list over
  uint32_t reserved_54;
};

struct TokenVar {
  uint32_t id;
  uint32_t host_04;
  uint32_t host_08;
  double value;
  uint32_t host_14[2];
};

struct FailureEntry {
  uint32_t key;
  uint32_t action;
};

enum ElementType : uint32_t { kStaticImage = 0, kStringWindow = 2, kIcon = 4 };

enum ImageFlag : uint32_t {
  kImageTransparent = 0x1,      // black pixels are see-through
  kImageHostFlag2 = 0x2,        // on every icon and window; the simulator's, our host carries it
  kImageLit = 0x4,              // drawn at full brightness in the night view
  kImageHostFlag4000 = 0x4000,  // on the HSI switch's elements; the simulator's, carried
  kImageHidden = 0x40000000,    // not drawn: the one flag a module changes at run time
};

struct ElementHeader {
  uint32_t type;
  int32_t bitmap_id;
  int32_t x;
  int32_t y;
  uint32_t host_10[2];
  uint32_t host_18[2];
  GaugeHeader* gauge;
  uint32_t host_24;
  ElementHeader* const* children;
  const FailureEntry* failures;
  uint32_t image_flags;
  uint32_t flags2;
  uint32_t reserved_38;
};

struct StaticImageElement {
  ElementHeader header;
  uintptr_t host_word;  // the host stores an address here while it installs the elements
  uint32_t host_40[4];
};

struct IconElement {
  ElementHeader header;
  TokenVar token;
  IconCallback callback;
  uint32_t host_5c[5];
  uint32_t image_count;
  uint32_t host_74[5];
};

struct StringElement {
  ElementHeader header;
  TokenVar tokens[3];
  uint32_t host_90[6];
  ValueCallback value_callback;
  uint32_t reserved_ac;
  uint32_t reserved_b0;
  TextCallback text_callback;
  char* text_buffer;  // host-owned, character count + 1 bytes
  uint32_t reserved_bc;
  uint32_t width;
  uint32_t height;
  uint32_t reserved_c8[2];
  uint32_t text_colour;
  uint32_t background_colour;
  uint32_t third_colour;
  uint32_t reserved_dc[7];
  char font_face[32];
  uint32_t font_weight;
  uint32_t charset;
  uint32_t draw_flags;
  uint32_t char_count;
  uint32_t host_128[4];
};

enum AreaType : uint32_t { kAreaEndList = 0, kAreaParent = 1, kAreaChild = 2, kAreaEndParent = 3 };

enum Cursor : int32_t { kCursorNone = -1, kCursorUp = 1, kCursorDown = 2, kCursorHand = 5 };

enum ClickFlag : uint32_t { kClickDown = 0x20000000, kClickRepeat = 0x00200000 };

struct MouseArea {
  uint32_t type;
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  int32_t cursor;
  uint32_t help_id;
  uint32_t click_flags;
  uint32_t key_event;
  MouseFunction function;
  uint32_t reserved_28;
};

#pragma pack(pop)

// The layout table of the 32-bit targets, where the host reads these records.
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(Linkage) == 32);
static_assert(offsetof(Linkage, module_init) == 4 && offsetof(Linkage, module_deinit) == 8);
static_assert(offsetof(Linkage, gauges) == 24);
static_assert(sizeof(ImportTable) == 16 && offsetof(ImportEntry, services) == 4);
static_assert(sizeof(GaugeHeader) == 88);
static_assert(offsetof(GaugeHeader, name) == 0x04 && offsetof(GaugeHeader, elements) == 0x08);
static_assert(offsetof(GaugeHeader, query) == 0x0C && offsetof(GaugeHeader, install) == 0x10);
static_assert(offsetof(GaugeHeader, initialize) == 0x14 && offsetof(GaugeHeader, update) == 0x18);
static_assert(offsetof(GaugeHeader, generate) == 0x1C && offsetof(GaugeHeader, draw) == 0x20);
static_assert(offsetof(GaugeHeader, kill) == 0x24 && offsetof(GaugeHeader, horizontal_size) == 0x2C);
static_assert(offsetof(GaugeHeader, vertical_size) == 0x30 && offsetof(GaugeHeader, mouse_list) == 0x50);
static_assert(sizeof(TokenVar) == 28 && offsetof(TokenVar, value) == 12);
static_assert(sizeof(FailureEntry) == 8);
static_assert(sizeof(ElementHeader) == 60);
static_assert(offsetof(ElementHeader, bitmap_id) == 0x04 && offsetof(ElementHeader, x) == 0x08);
static_assert(offsetof(ElementHeader, y) == 0x0C && offsetof(ElementHeader, host_10) == 0x10);
static_assert(offsetof(ElementHeader, host_18) == 0x18 && offsetof(ElementHeader, gauge) == 0x20);
static_assert(offsetof(ElementHeader, host_24) == 0x24 && offsetof(ElementHeader, children) == 0x28);
static_assert(offsetof(ElementHeader, failures) == 0x2C && offsetof(ElementHeader, image_flags) == 0x30);
static_assert(offsetof(ElementHeader, flags2) == 0x34 && offsetof(ElementHeader, reserved_38) == 0x38);
static_assert(sizeof(StaticImageElement) == 80 && offsetof(StaticImageElement, host_word) == 0x3C);
static_assert(offsetof(StaticImageElement, host_40) == 0x40);
static_assert(sizeof(IconElement) == 136 && offsetof(IconElement, token) == 0x3C);
static_assert(offsetof(IconElement, callback) == 0x58 && offsetof(IconElement, host_5c) == 0x5C);
static_assert(offsetof(IconElement, image_count) == 0x70 && offsetof(IconElement, host_74) == 0x74);
static_assert(sizeof(StringElement) == 312 && offsetof(StringElement, tokens) == 0x3C);
static_assert(offsetof(StringElement, host_90) == 0x90 && offsetof(StringElement, value_callback) == 0xA8);
static_assert(offsetof(StringElement, reserved_ac) == 0xAC && offsetof(StringElement, reserved_b0) == 0xB0);
static_assert(offsetof(StringElement, text_callback) == 0xB4 && offsetof(StringElement, text_buffer) == 0xB8);
static_assert(offsetof(StringElement, width) == 0xC0 && offsetof(StringElement, height) == 0xC4);
static_assert(offsetof(StringElement, text_colour) == 0xD0);
static_assert(offsetof(StringElement, background_colour) == 0xD4);
static_assert(offsetof(StringElement, third_colour) == 0xD8 && offsetof(StringElement, reserved_dc) == 0xDC);
static_assert(offsetof(StringElement, font_face) == 0xF8 && offsetof(StringElement, font_weight) == 0x118);
static_assert(offsetof(StringElement, charset) == 0x11C && offsetof(StringElement, draw_flags) == 0x120);
static_assert(offsetof(StringElement, char_count) == 0x124 && offsetof(StringElement, host_128) == 0x128);
static_assert(sizeof(MouseArea) == 44 && offsetof(MouseArea, cursor) == 20);
static_assert(offsetof(MouseArea, help_id) == 24 && offsetof(MouseArea, click_flags) == 28);
static_assert(offsetof(MouseArea, key_event) == 32 && offsetof(MouseArea, function) == 36);
static_assert(offsetof(MouseArea, reserved_28) == 40);
#endif

// Every element record starts with its header, so the host may treat an element address as a
// header address and back.
static_assert(offsetof(StaticImageElement, header) == 0 && offsetof(IconElement, header) == 0);
static_assert(offsetof(StringElement, header) == 0);

}  // namespace frame
