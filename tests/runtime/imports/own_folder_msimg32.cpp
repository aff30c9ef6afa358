// A DLL of ours, placed beside a test program under the name of the system's msimg32.dll and under
// a name of its own, to show which of them the program binds. Its TransparentBlt only weighs its
// arguments.
// (Plain types rather than <windows.h>, which declares TransparentBlt as imported.)
extern "C" __declspec(dllexport) int __stdcall TransparentBlt(void* destination, int x, int y, int width, int height,
                                                              void* source, int sourceX, int sourceY, int sourceWidth,
                                                              int sourceHeight, unsigned transparent) {
  if (destination || source) return 0;
  // 1*x + 2*y + ... + 9*transparent, over a sentinel, so that the order of the arguments shows.
  return 0x7E570000 + x + 2 * y + 3 * width + 4 * height + 5 * sourceX + 6 * sourceY + 7 * sourceWidth +
         8 * sourceHeight + 9 * static_cast<int>(transparent);
}
