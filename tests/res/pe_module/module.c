/* A small resource-carrying DLL for the resource writer's tests; the
   pointer makes the linker emit base relocations after the resources. */
static int counter;
int* tw_counter = &counter;
int __stdcall DllMainCRTStartup(void* module, unsigned reason, void* reserved) {
  (void)module;
  (void)reason;
  (void)reserved;
  return 1;
}
