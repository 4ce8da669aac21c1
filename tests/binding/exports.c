/* Functions for the test DLLs of the binding tests; each .def file exports some of them under the
   names the loader is to find, or not find. Each returns a value of its own, so a test can tell
   which one a lookup found. */
int plainValue(void) {
  return 1;
}
int zeroValue(void) {
  return 100;
}
int eightValue(void) {
  return 108;
}
int maxValue(void) {
  return 300;
}
int bigValue(void) {
  return 304;
}
int oddValue(void) {
  return 106;
}
int longValue(void) {
  return 244;
}
