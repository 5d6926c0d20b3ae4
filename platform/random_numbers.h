#pragma once
// The pseudo-random numbers of the pictures: the same sequence on every
// platform (C libraries' rand() differ), seeded like srand and rand.
namespace platform {

// Starts the sequence again from `seed` (seed 1 is the sequence a program
// gets without seeding).
void seedRandom(unsigned seed);

// The next number of the sequence, 0 to 2^31 - 1.
int nextRandom();

} // namespace platform
