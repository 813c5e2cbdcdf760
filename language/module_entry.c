/* Entry point of a language module: it holds only resources, so loading it needs no work and no C runtime. */

/* Named like the runtime's usual DLL entry so that the linker picks it up
   without a start-up library; the result 1 lets every load succeed. */
int __stdcall DllMainCRTStartup(void* instance, unsigned long reason, void* reserved)
{
  (void)instance;
  (void)reason;
  (void)reserved;
  return 1;
}
