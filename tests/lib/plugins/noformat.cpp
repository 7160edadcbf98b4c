// A loadable library that implements no format at all.
extern "C" int kelTestNoFormatPresent()
{
    return 1;
}
