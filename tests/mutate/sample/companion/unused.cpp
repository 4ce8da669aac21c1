// Not in the sample's build: its faults are reported, not tried.
int unused(int value) {
  return value + 1;
}
