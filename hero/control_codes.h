#pragma once
// What the player asks of the hero, as one code at a time: the keyboard and
// pads set it, the hero's update reads it at every tick.

enum ControlCode {
  kNoControl = 0,
  kWalkLeft = 1,
  kWalkRight = 2,
  kJump = 3,
  kCrouch = 4,
  kStandUp = 5,
  kPunch = 6,
  kKick = 7,
};
