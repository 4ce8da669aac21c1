#pragma once

namespace sample {

struct Tally {
  int count = 0;
  int sum = 0;
};

int clamp(int value);
void add(Tally& tally, int score);
bool passes(int score);
int bonus(int score);
void record(Tally& tally, int score);
bool counts(bool scored, bool summed);

}  // namespace sample
