// Every GDI+ declaration of the table is reachable: as a generated method of the wrapper class
// whose object it acts on or makes, and otherwise through the typed declaration layer. Also that
// generated methods pass the wrapper's own handle and adopt what they create.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "graphics/fonts.h"
#include "graphics/paths_pens_brushes.h"
#include "tests/graphics/graphics_test_support.h"

namespace {

template <class T>
struct DropFirst;
template <class F, class... R>
struct DropFirst<std::tuple<F, R...>> {
  using type = std::tuple<R...>;
};
template <>
struct DropFirst<std::tuple<>> {
  using type = std::tuple<>;
};

template <class T>
struct DropLast;
template <class... P>
struct DropLast<std::tuple<P...>> {
  template <size_t... I>
  static auto Take(std::index_sequence<I...>) -> std::tuple<std::tuple_element_t<I, std::tuple<P...>>...>;
  using type = decltype(Take(std::make_index_sequence<sizeof...(P) == 0 ? 0 : sizeof...(P) - 1>()));
};

template <int32_t K>
using Tail = typename DropFirst<typename flat_methods::ParametersOf<K>::List>::type;
template <int32_t K>
using Init = typename DropLast<typename flat_methods::ParametersOf<K>::List>::type;

// Whether wrapper W has a method named after declaration K that takes the declaration's other
// parameters (a method on the object) or all but its last (a create method).
#define DECL_SYSTEM(k, dll, name, suffix, result, parameters)
#define DECL_DOCUMENTED(k, dll, name, suffix, result, parameters)
#define DECL_GDIPLUS(k, dll, name, suffix, result, parameters)                                   \
  template <class W, class... P>                                                                 \
  constexpr bool HasMethod_##name##suffix(std::tuple<P...>*) {                                   \
    return requires(W& w, P... p) { w.name##suffix(p...); };                                     \
  }                                                                                              \
  template <class W>                                                                             \
  constexpr bool Reaches_##name##suffix() {                                                      \
    return HasMethod_##name##suffix<W>(static_cast<Tail<k>*>(nullptr)) ||                        \
           HasMethod_##name##suffix<W>(static_cast<Init<k>*>(nullptr));                          \
  }
#include "runtime/imports/declarations.inc"

template <class... W>
struct WrapperList {};
using Wrappers = WrapperList<Graphics, GraphicsPath, Pen, Brush, SolidBrush, LinearGradientBrush, PathGradientBrush,
                             Font, FontFamily, FontCollection, StringFormat, Region, Image, Bitmap>;
constexpr const char* kWrapperNames[] = {"Graphics",  "GraphicsPath",       "Pen",
                                         "Brush",     "SolidBrush",         "LinearGradientBrush",
                                         "PathGradientBrush", "Font",       "FontFamily",
                                         "FontCollection",    "StringFormat", "Region",
                                         "Image",     "Bitmap"};

struct Row {
  int32_t k;
  std::string name;
  std::set<std::string> wrappers;  // the classes with a method for it
  bool typedLayer;                 // callable through Declared:: with exactly its parameters
};

template <class... P>
constexpr bool LayerTakes(auto function, std::tuple<P...>*) {
  return std::is_invocable_v<decltype(function), P...>;
}

std::vector<Row> Rows() {
  std::vector<Row> rows;
#define DECL_SYSTEM(k, dll, name, suffix, result, parameters)
#define DECL_DOCUMENTED(k, dll, name, suffix, result, parameters)
#define DECL_GDIPLUS(k, dll, name, suffix, result, parameters)                                              \
  {                                                                                                         \
    Row row{k, #name #suffix, {}, LayerTakes(Declared::name##suffix,                                        \
                                             static_cast<typename flat_methods::ParametersOf<k>::List*>(nullptr))}; \
    [&]<class... W>(WrapperList<W...>) {                                                                    \
      size_t i = 0;                                                                                         \
      ((Reaches_##name##suffix<W>() ? (void)row.wrappers.insert(kWrapperNames[i]) : (void)0, ++i), ...);    \
    }(Wrappers{});                                                                                          \
    rows.push_back(row);                                                                                    \
  }
#include "runtime/imports/declarations.inc"
  return rows;
}

TEST(Reachability, EveryGdiPlusDeclarationIsAWrapperMethodOrInTheTypedLayer) {
  const std::vector<Row> rows = Rows();
  EXPECT_EQ(rows.size(), 479u);
  std::set<std::string> layerOnly;
  for (const Row& row : rows) {
    EXPECT_TRUE(row.typedLayer) << row.name;
    if (row.wrappers.empty()) layerOnly.insert(row.name);
  }
  // Start-up, GDI+'s allocator, the encoder list (GetImageEncoders), the matrix functions (no
  // wrapper class of their own) and the releasing functions, each reached through a Delete.
  EXPECT_THAT(layerOnly, testing::UnorderedElementsAre(
                             "GdiplusStartup", "GdiplusShutdown", "GdipAlloc", "GdipFree",
                             "GdipGetImageEncodersSize", "GdipGetImageEncoders", "GdipCreateMatrix",
                             "GdipTranslateMatrix", "GdipRotateMatrix", "GdipDeleteMatrix", "GdipDeleteGraphics",
                             "GdipDeleteGraphics_2", "GdipDeletePath", "GdipDeleteBrush", "GdipDeletePen",
                             "GdipDeleteFont", "GdipDeleteFontFamily", "GdipDeleteStringFormat", "GdipDeleteRegion",
                             "GdipDisposeImage", "GdipDisposeImage_2"));
}

TEST(Reachability, MethodsBelongToTheClassOfTheirObject) {
  std::map<std::string, std::set<std::string>> byName;
  for (const Row& row : Rows()) byName[row.name] = row.wrappers;
  using Set = std::set<std::string>;
  const Set brushes = {"Brush", "SolidBrush", "LinearGradientBrush", "PathGradientBrush"};
  const std::pair<const char*, Set> expected[] = {
      {"GdipSetPenWidth", {"Pen"}},
      {"GdipCreatePen1", {"Pen"}},
      {"GdipCreatePen2", {"Pen", "Brush", "SolidBrush", "LinearGradientBrush", "PathGradientBrush"}},
      {"GdipGetBrushType", brushes},
      {"GdipCreateSolidFill", {"SolidBrush"}},
      {"GdipGetFamilyName", {"FontFamily"}},
      {"GdipGetFamily", {"Font", "FontFamily"}},
      {"GdipCreatePathGradientFromPath", {"GraphicsPath", "PathGradientBrush"}},
      {"GdipGetImageWidth", {"Image", "Bitmap"}},
      {"GdipLoadImageFromStream", {"Image", "Bitmap"}},
      {"GdipBitmapGetPixel", {"Bitmap"}},
      {"GdipCreateBitmapFromStream_2", {"Bitmap"}},
      {"GdipGetImageGraphicsContext", {"Graphics", "Image", "Bitmap"}},
      {"GdipMeasureCharacterRanges", {"Graphics"}},
      {"GdipCreateRegion", {"Region"}},
      {"GdipGetFontCollectionFamilyList", {"FontCollection"}},
      {"GdipStringFormatGetGenericDefault", {"StringFormat"}},
  };
  for (const auto& [name, wrappers] : expected) EXPECT_EQ(byName.at(name), wrappers) << name;
}

TEST(GeneratedMethods, PassTheOwnHandleAndAdoptWhatTheyCreate) {
  GraphicsPath path;
  EXPECT_TRUE(path.GdipCreatePath(Gdiplus::FillModeWinding));
  ASSERT_NE(path.GetHandle(), nullptr);
  EXPECT_TRUE(path.GdipAddPathRectangleI(1, 2, 3, 4));
  Gdiplus::Rect bounds(-1, -1, -1, -1);
  EXPECT_TRUE(path.GdipGetPathWorldBoundsI(&bounds, nullptr, nullptr));
  EXPECT_EQ(bounds.X, 1);
  EXPECT_EQ(bounds.Y, 2);
  EXPECT_EQ(bounds.Width, 3);
  EXPECT_EQ(bounds.Height, 4);

  PathGradientBrush brush;
  EXPECT_TRUE(brush.GdipCreatePathGradientFromPath(static_cast<const Gdiplus::GpPath*>(path.GetHandle())));
  EXPECT_EQ(brush.BrushHandle(), brush.GetHandle());
  EXPECT_EQ(static_cast<void*>(brush.OwnHandle()), brush.GetHandle());
  INT points = -1;
  EXPECT_TRUE(brush.GdipGetPathGradientPointCount(&points));
  EXPECT_EQ(points, 4);

  Canvas canvas(4, 4);
  auto* surface = static_cast<Gdiplus::GpGraphics*>(canvas.surface.GetHandle());
  Region region;
  lastStatus = 4242;
  EXPECT_FALSE(region.GdipSetEmpty());
  EXPECT_EQ(lastStatus, Gdiplus::InvalidParameter);
  EXPECT_TRUE(region.GdipCreateRegion());
  BOOL infinite = FALSE;
  EXPECT_TRUE(region.GdipIsInfiniteRegion(surface, &infinite));
  EXPECT_EQ(infinite, TRUE);
  EXPECT_TRUE(region.GdipSetEmpty());
  BOOL empty = FALSE;
  EXPECT_TRUE(region.GdipIsEmptyRegion(surface, &empty));
  EXPECT_EQ(empty, TRUE);
}

}  // namespace
