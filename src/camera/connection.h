// Making and ending a connection with the camera: the speed command, the
// identification, the three connection sequences and the end command.
// The port is open when these are called; each returns the link's result
// code and shows its messages where they arise.
#pragma once

#include "camera/camera_link.h"

namespace fq::cam {

// Speed command (marker 4) naming `code`, sent in one write at 9600 bit/s.
int SpeedCommand(CameraLink& link, int code);
// The same for the port search: 1000 ms, two attempts, retried on time-out
// only, no message.
int SearchSpeedCommand(CameraLink& link, int code);

// Identification (marker 2): sets link.camera_type to 1, 2 or 4.
int Identify(CameraLink& link);
// The port search's form: retried on time-out only, no message when all
// attempts go unanswered.
int SearchIdentify(CameraLink& link);

// "Data in": speed, line speed, identification, start, and the picture
// list (type 1) or count (type 2).
int ConnectForDownload(CameraLink& link);
// "Data out": as above without the list; a type-1 camera refuses 115200
// (message 13, 104).
int ConnectForUpload(CameraLink& link);
// "Camera setup": a type-1 camera gives 33 (the caller says the function
// is not available); type 2 is probed for type 3.
int ConnectForSetup(CameraLink& link);

// End command in the frame format of the camera type held in the link:
// marker for type 1, sequenced otherwise (also when none was identified).
void EndConnection(CameraLink& link);
// Forced formats.
void EndConnectionMarker(CameraLink& link);
void EndConnectionSequenced(CameraLink& link);

}  // namespace fq::cam
