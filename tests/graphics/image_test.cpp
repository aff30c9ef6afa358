// Memory streams, images and bitmaps under Wine: streams over global memory, empty bitmaps and
// their pixels, encoding to PNG and back, the encoder list, GDI conversions and turned copies.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "graphics/paths_pens_brushes.h"
#include "runtime/value_helpers.h"
#include "tests/graphics/graphics_test_support.h"

namespace {

using testing::ElementsAre;

OwnedBytes Block(const std::string& bytes) {
  return NewByteBlock({reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()});
}

std::string TextOf(const OwnedBytes& block) { return {block.bytes().begin(), block.bytes().end()}; }

// --- MemoryStream ---

TEST(MemoryStream, OpensOverACopyOfTheBytesAndReadsWithoutMoving) {
  const OwnedBytes source = Block("image bytes");
  MemoryStream stream;
  IStream* com = stream.OpenBytes(source.get());
  ASSERT_NE(com, nullptr);
  EXPECT_EQ(stream.GetStream(), com);
  EXPECT_NE(stream.GetHGlobal(), nullptr);
  EXPECT_EQ(stream.GetSize(), 11u);
  EXPECT_EQ(TextOf(stream.ToBytes()), "image bytes");
  char first[6] = {};
  ULONG read = 0;
  ASSERT_EQ(com->Read(first, 5, &read), S_OK);
  EXPECT_STREQ(first, "image");
  EXPECT_EQ(TextOf(stream.ToBytes()), "image bytes");
  ASSERT_EQ(com->Read(first, 5, &read), S_OK);
  EXPECT_STREQ(first, " byte");
}

TEST(MemoryStream, GivenLengthTakesThatManyBytesAndNoMore) {
  const OwnedBytes source = Block("0123456789");
  MemoryStream stream;
  ASSERT_NE(stream.OpenBytes(source.get(), 4), nullptr);
  EXPECT_EQ(TextOf(stream.ToBytes()), "0123");
  IStream* open = stream.GetStream();
  for (int32_t bad : {11, -1}) {
    EXPECT_EQ(stream.OpenBytes(source.get(), bad), nullptr);
    EXPECT_EQ(stream.GetStream(), open) << "length " << bad;
    EXPECT_EQ(TextOf(stream.ToBytes()), "0123");
  }
  ASSERT_NE(stream.OpenBytes(source.get(), OptionalArg<int32_t>::NotGiven(4)), nullptr);
  EXPECT_EQ(TextOf(stream.ToBytes()), "0123456789");
}

TEST(MemoryStream, EmptyBytesGiveAZeroLengthStreamThatGrows) {
  MemoryStream stream;
  IStream* com = stream.OpenBytes(nullptr);
  ASSERT_NE(com, nullptr);
  EXPECT_EQ(stream.GetSize(), 0u);
  EXPECT_EQ(stream.ToBytes().get(), nullptr);
  ULONG written = 0;
  ASSERT_EQ(com->Write("grown", 5, &written), S_OK);
  EXPECT_EQ(written, 5u);
  EXPECT_EQ(TextOf(stream.ToBytes()), "grown");
}

TEST(MemoryStream, CloseReleasesOnceAndTwiceDoesNothing) {
  const OwnedBytes source = Block("abc");
  MemoryStream stream;
  IStream* com = stream.OpenBytes(source.get());
  ASSERT_NE(com, nullptr);
  com->AddRef();
  stream.Close();
  EXPECT_EQ(stream.GetStream(), nullptr);
  EXPECT_EQ(stream.GetHGlobal(), nullptr);
  EXPECT_EQ(stream.GetSize(), 0u);
  EXPECT_EQ(stream.ToBytes().get(), nullptr);
  stream.Close();
  // Ours was the one other reference: the extra one we took is now the last.
  EXPECT_EQ(com->Release(), 0u);
}

TEST(MemoryStream, AttachTakesOverAStreamOverGlobalMemory) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 3);
  std::memcpy(GlobalLock(memory), "xyz", 3);
  GlobalUnlock(memory);
  IStream* com = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(memory, FALSE, &com), S_OK);
  MemoryStream stream;
  EXPECT_FALSE(stream.AttachStream(nullptr));
  EXPECT_TRUE(stream.AttachStream(com));
  EXPECT_EQ(stream.GetHGlobal(), memory);
  EXPECT_EQ(TextOf(stream.ToBytes()), "xyz");
  MemoryStream moved(std::move(stream));
  EXPECT_EQ(stream.GetStream(), nullptr);
  EXPECT_EQ(moved.GetStream(), com);
}

// Rare paths: attaching the stream already held, memory that cannot be had, and a memory block
// larger than the stream's content (GlobalSize may round a block up on Windows).
TEST(MemoryStream, AttachingTheStreamItHoldsKeepsItAndItsBytes) {
  const OwnedBytes source = Block("held");
  MemoryStream stream;
  IStream* com = stream.OpenBytes(source.get());
  ASSERT_NE(com, nullptr);
  const HGLOBAL memory = stream.GetHGlobal();
  EXPECT_TRUE(stream.AttachStream(com));
  EXPECT_EQ(stream.GetStream(), com);
  EXPECT_EQ(stream.GetHGlobal(), memory);
  EXPECT_EQ(TextOf(stream.ToBytes()), "held");
}

int streamsMade = 0;
HGLOBAL WINAPI RefuseGlobalAlloc(UINT, SIZE_T) { return nullptr; }
HRESULT WINAPI CountStreams(HGLOBAL memory, BOOL freeOnRelease, IStream** stream) {
  ++streamsMade;
  return CreateStreamOnHGlobal(memory, freeOnRelease, stream);
}

TEST(MemoryStream, NoMemoryOpensNoStreamAndLeavesItClosed) {
  const OwnedBytes source = Block("abc");
  MemoryStream stream;
  ASSERT_NE(stream.OpenBytes(source.get()), nullptr);
  StandIn refuse(K_GlobalAlloc, reinterpret_cast<void*>(&RefuseGlobalAlloc));
  StandIn count(K_CreateStreamOnHGlobal, reinterpret_cast<void*>(&CountStreams));
  streamsMade = 0;
  EXPECT_EQ(stream.OpenBytes(source.get()), nullptr);
  EXPECT_EQ(streamsMade, 0);
  EXPECT_EQ(stream.GetStream(), nullptr);
  EXPECT_EQ(stream.GetHGlobal(), nullptr);
  EXPECT_EQ(stream.ToBytes().get(), nullptr);
}

SIZE_T WINAPI RoundedUpGlobalSize(HGLOBAL memory) { return GlobalSize(memory) + 16; }

TEST(MemoryStream, ContentEndsWhereTheStreamEndsNotWhereItsBlockDoes) {
  const OwnedBytes source = Block("0123456789");
  MemoryStream stream;
  ASSERT_NE(stream.OpenBytes(source.get()), nullptr);
  StandIn roundedUp(K_GlobalSize, reinterpret_cast<void*>(&RoundedUpGlobalSize));
  EXPECT_EQ(stream.GetSize(), 10u);
  EXPECT_EQ(TextOf(stream.ToBytes()), "0123456789");
}

// --- Bitmaps ---

TEST(BitmapCreate, EmptyArgbBitmapReadsZeroEverywhere) {
  Bitmap bitmap;
  ASSERT_TRUE(bitmap.Create(100, 50));
  EXPECT_EQ(bitmap.GetWidth(), 100u);
  EXPECT_EQ(bitmap.GetHeight(), 50u);
  Gdiplus::PixelFormat format = 0;
  EXPECT_TRUE(bitmap.GdipGetImagePixelFormat(&format));
  EXPECT_EQ(format, PixelFormat32bppARGB);
  for (int32_t y = 0; y < 50; y += 7) {
    for (int32_t x = 0; x < 100; x += 9) {
      EXPECT_EQ(bitmap.GetPixel(x, y), 0u) << x << "," << y;
    }
  }
  EXPECT_EQ(bitmap.GetPixel(99, 49), 0u);
  EXPECT_EQ(lastStatus, Gdiplus::Ok);
}

TEST(BitmapCreate, GivenFormatBadSizesAndPixelsOutside) {
  Bitmap rgb;
  ASSERT_TRUE(rgb.Create(4, 4, PixelFormat24bppRGB));
  Gdiplus::PixelFormat format = 0;
  EXPECT_TRUE(rgb.GdipGetImagePixelFormat(&format));
  EXPECT_EQ(format, PixelFormat24bppRGB);
  EXPECT_EQ(rgb.GetPixel(1, 1), kBlack);

  EXPECT_EQ(rgb.GetPixel(4, 0), 0u);
  EXPECT_EQ(lastStatus, Gdiplus::InvalidParameter);

  Bitmap none;
  EXPECT_FALSE(none.Create(0, 5));
  EXPECT_EQ(lastStatus, Gdiplus::InvalidParameter);
  EXPECT_EQ(none.GetHandle(), nullptr);
  EXPECT_EQ(none.GetWidth(), 0u);
}

// --- Encoding ---

TEST(Encoders, ListHoldsPngWithItsTexts) {
  const std::vector<ImageCodecRecord> encoders = GetImageEncoders();
  ASSERT_FALSE(encoders.empty());
  const ImageCodecRecord* png = nullptr;
  for (const ImageCodecRecord& codec : encoders) {
    EXPECT_EQ(codec.clsid.length(), 38);
    EXPECT_EQ(codec.formatId.length(), 38);
    if (codec.formatId.view() == kPngFormat) png = &codec;
  }
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(png->mimeType.view(), "image/png");
  EXPECT_EQ(png->signatureCount, 1);
  EXPECT_EQ(png->signatureSize, 8);
  EXPECT_EQ(TextOf(png->signaturePattern), "\x89PNG\r\n\x1A\n");
}

// A 6 by 4 bitmap with one red pixel at (2, 1) on opaque blue.
void MakeMarkedBitmap(Bitmap& bitmap) {
  ASSERT_TRUE(bitmap.Create(6, 4));
  ASSERT_TRUE(bitmap.GdipBitmapSetPixel(0, 0, kBlue));
  Graphics surface;
  ASSERT_TRUE(surface.CreateFromImage(bitmap));
  ASSERT_TRUE(surface.Clear(kBlue));
  surface.Delete();
  ASSERT_TRUE(bitmap.GdipBitmapSetPixel(2, 1, kRed));
}

TEST(SaveToBytes, PngStartsWithTheSignatureAndLoadsBackTheSame) {
  Bitmap bitmap;
  MakeMarkedBitmap(bitmap);
  const OwnedBytes png = bitmap.SaveToBytes(kPngFormat);
  EXPECT_EQ(lastStatus, Gdiplus::Ok);
  ASSERT_GT(png.length(), 8);
  EXPECT_EQ(TextOf(png).substr(0, 8), "\x89PNG\r\n\x1A\n");
  // The file ends with its end chunk: nothing of the memory block beyond the stream comes along.
  EXPECT_EQ(TextOf(png).substr(png.bytes().size() - 8, 4), "IEND");

  Bitmap loaded;
  ASSERT_TRUE(loaded.LoadFromBytes(png.get()));
  EXPECT_EQ(loaded.GetWidth(), 6u);
  EXPECT_EQ(loaded.GetHeight(), 4u);
  EXPECT_EQ(loaded.GetPixel(2, 1), kRed);
  EXPECT_EQ(loaded.GetPixel(3, 1), kBlue);
  EXPECT_EQ(loaded.GetRawFormat().view(), kPngFormat);

  // Without a format the image keeps its own: the loaded PNG encodes as PNG again.
  const OwnedBytes again = loaded.SaveToBytes();
  EXPECT_EQ(TextOf(again).substr(0, 8), "\x89PNG\r\n\x1A\n");
  Image image;
  ASSERT_TRUE(image.LoadFromBytes(again.get()));
  EXPECT_EQ(image.GetWidth(), 6u);
  EXPECT_EQ(image.GetHeight(), 4u);
}

TEST(SaveToBytes, UnknownFormatGivesNothingAndTheStatus) {
  Bitmap bitmap;
  MakeMarkedBitmap(bitmap);
  for (TextValue format : {"{00000000-1111-2222-3333-444444444444}", "", "{b96b3caf-0728-11d3-9d7b-0000f81ef32e}"}) {
    lastStatus = 4242;
    EXPECT_EQ(bitmap.SaveToBytes(format).get(), nullptr) << format;
    EXPECT_EQ(lastStatus, Gdiplus::UnknownImageFormat) << format;
  }
}

TEST(SaveToBytes, MalformedParametersAreRefusedBeforeEncoding) {
  Bitmap bitmap;
  MakeMarkedBitmap(bitmap);
  const OwnedBytes quality = Block(std::string("\x50\0\0\0", 4));
  const char qualityCategory[] = "{1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}";
  const EncoderParameterRecord good[] = {{qualityCategory, 1, Gdiplus::EncoderParameterValueTypeLong, quality.get()}};
  const OwnedBytes jpeg = bitmap.SaveToBytes(kJpegFormat, EncoderParameterList(good));
  EXPECT_EQ(TextOf(jpeg).substr(0, 3), "\xFF\xD8\xFF");

  const EncoderParameterRecord bad[][1] = {
      {{qualityCategory, 2, Gdiplus::EncoderParameterValueTypeLong, quality.get()}},
      {{qualityCategory, 1, Gdiplus::EncoderParameterValueTypeRational, quality.get()}},
      {{qualityCategory, 1, 99, quality.get()}},
      {{qualityCategory, -1, Gdiplus::EncoderParameterValueTypeLong, quality.get()}},
      {{qualityCategory, 1, Gdiplus::EncoderParameterValueTypeLong, nullptr}},
  };
  for (const auto& parameters : bad) {
    lastStatus = 4242;
    EXPECT_EQ(bitmap.SaveToBytes(kJpegFormat, EncoderParameterList(parameters)).get(), nullptr);
    EXPECT_EQ(lastStatus, Gdiplus::InvalidParameter);
  }
}

// --- Loading ---

TEST(LoadFromBytes, InvalidBytesFailAndTheNextLoadWorks) {
  Image image;
  const OwnedBytes junk = Block("not an image at all");
  EXPECT_FALSE(image.LoadFromBytes(junk.get()));
  EXPECT_NE(lastStatus, Gdiplus::Ok);
  EXPECT_EQ(image.GetHandle(), nullptr);
  lastStatus = 4242;
  EXPECT_FALSE(image.Delete());
  EXPECT_EQ(lastStatus, 4242);

  Bitmap marked;
  MakeMarkedBitmap(marked);
  const OwnedBytes png = marked.SaveToBytes(kPngFormat);
  EXPECT_TRUE(image.LoadFromBytes(png.get()));
  EXPECT_EQ(image.GetWidth(), 6u);
  EXPECT_TRUE(image.Delete());
  EXPECT_EQ(image.GetHandle(), nullptr);
  EXPECT_EQ(image.GetWidth(), 0u);
}

std::vector<std::string> releases;
const StandIn* disposeStandIn = nullptr;
const StandIn* globalFreeStandIn = nullptr;
Gdiplus::Status WINAPI RecordDispose(Gdiplus::GpImage* image) {
  releases.push_back("dispose");
  return disposeStandIn->Original<decltype(&RecordDispose)>()(image);
}
HGLOBAL WINAPI RecordGlobalFree(HGLOBAL memory) {
  releases.push_back("free");
  return globalFreeStandIn->Original<decltype(&RecordGlobalFree)>()(memory);
}

template <class W>
class DeleteOrder : public testing::Test {};
using ImageKinds = testing::Types<Image, Bitmap>;
TYPED_TEST_SUITE(DeleteOrder, ImageKinds);

// GDI+ may still read the stream while it disposes of the image: the bytes go only after it.
TYPED_TEST(DeleteOrder, DisposesTheImageBeforeFreeingItsBytes) {
  Bitmap marked;
  MakeMarkedBitmap(marked);
  const OwnedBytes png = marked.SaveToBytes(kPngFormat);
  TypeParam image;
  ASSERT_TRUE(image.LoadFromBytes(png.get()));
  StandIn dispose(K_GdipDisposeImage, reinterpret_cast<void*>(&RecordDispose));
  StandIn globalFree(K_GlobalFree, reinterpret_cast<void*>(&RecordGlobalFree));
  disposeStandIn = &dispose;
  globalFreeStandIn = &globalFree;
  releases.clear();
  EXPECT_TRUE(image.Delete());
  EXPECT_THAT(releases, ElementsAre("dispose", "free"));
  EXPECT_FALSE(image.Delete());
  EXPECT_THAT(releases, ElementsAre("dispose", "free"));
  disposeStandIn = globalFreeStandIn = nullptr;
}

TEST(LoadFromFile, ReadsWhatSaveToFileWrote) {
  char folder[MAX_PATH] = {};
  ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
  const std::string path = std::string(folder) + "图像_" + std::to_string(GetCurrentProcessId()) + ".bmp";
  Bitmap marked;
  MakeMarkedBitmap(marked);
  ASSERT_TRUE(marked.SaveToFile(path.c_str()));
  Bitmap bitmap;
  EXPECT_TRUE(bitmap.LoadFromFile(path.c_str()));
  EXPECT_EQ(bitmap.GetPixel(2, 1), kRed);
  EXPECT_EQ(bitmap.GetRawFormat().view(), kBmpFormat);
  Image image;
  EXPECT_TRUE(image.LoadFromFile(path.c_str()));
  EXPECT_EQ(image.GetHeight(), 4u);
  bitmap.Delete();
  image.Delete();
  EXPECT_TRUE(DeleteFileA(path.c_str()));
  Image missing;
  EXPECT_FALSE(missing.LoadFromFile(path.c_str()));
  EXPECT_EQ(missing.GetHandle(), nullptr);
}

// --- GDI conversions and turned copies ---

TEST(GdiConversion, HbitmapOverBackgroundAndBitmapFromIcon) {
  Bitmap half;
  ASSERT_TRUE(half.Create(4, 4));
  ASSERT_TRUE(half.GdipBitmapSetPixel(1, 1, kRed));
  HBITMAP gdi = half.GetHbitmap(kGreen);
  ASSERT_NE(gdi, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, gdi);
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 2, 2), RGB(0, 255, 0));
  SelectObject(dc, previous);
  DeleteDC(dc);
  DeleteObject(gdi);

  HICON icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  ASSERT_NE(icon, nullptr);
  Bitmap fromIcon;
  EXPECT_TRUE(fromIcon.FromHicon(icon));
  EXPECT_EQ(fromIcon.GetWidth(), static_cast<uint32_t>(GetSystemMetrics(SM_CXICON)));
}

TEST(Rotation, TurnedCopyIsSizedByTheTurnedCorners) {
  const Gdiplus::SizeF right = Bitmap::RotatedSize(10, 20, 90);
  EXPECT_NEAR(right.Width, 20, 1e-4);
  EXPECT_NEAR(right.Height, 10, 1e-4);
  const Gdiplus::SizeF diagonal = Bitmap::RotatedSize(10, 10, 45);
  EXPECT_NEAR(diagonal.Width, 14.1421, 1e-3);
  EXPECT_NEAR(diagonal.Height, 14.1421, 1e-3);

  Bitmap source;
  ASSERT_TRUE(source.Create(10, 20));
  Graphics surface;
  ASSERT_TRUE(surface.CreateFromImage(source));
  ASSERT_TRUE(surface.Clear(kBlue));
  SolidBrush red;
  ASSERT_TRUE(red.Create(kRed));
  ASSERT_TRUE(surface.FillRectangle(red, 0, 0, 10, 5));  // the top quarter
  surface.Delete();
  Bitmap turned;
  ASSERT_TRUE(source.RotateInto(turned, 90, kGreen));
  EXPECT_EQ(turned.GetWidth(), 20u);
  EXPECT_EQ(turned.GetHeight(), 10u);
  // Turned clockwise, the top of the source lies along the right edge.
  EXPECT_EQ(turned.GetPixel(18, 5), kRed);
  EXPECT_EQ(turned.GetPixel(5, 5), kBlue);

  // In place: the marked pixel (2, 1) of the 6 by 4 bitmap goes to (4 - 1 - 1, 2) = (2, 2).
  Bitmap marked;
  MakeMarkedBitmap(marked);
  EXPECT_TRUE(marked.RotateFlip(Gdiplus::Rotate90FlipNone));
  EXPECT_EQ(marked.GetWidth(), 4u);
  EXPECT_EQ(marked.GetHeight(), 6u);
  EXPECT_EQ(marked.GetPixel(2, 2), kRed);
  EXPECT_EQ(marked.GetPixel(1, 2), kBlue);
}

}  // namespace
