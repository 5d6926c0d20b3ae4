#pragma once
// Double-precision 3D vectors: the geometry type shared by the 3D engine and
// the effects that bend points in space.
namespace engine3d {

struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    void set(double nx, double ny, double nz)
    {
        x = nx;
        y = ny;
        z = nz;
    }

    Vec3& operator+=(const Vec3& b)
    {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    Vec3& operator-=(const Vec3& b)
    {
        x -= b.x;
        y -= b.y;
        z -= b.z;
        return *this;
    }
    Vec3& operator*=(double s)
    {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }

    // The reader's axis change: files store z up, the engine uses y up.
    void swapYZ()
    {
        double t = y;
        y = z;
        z = t;
    }
};

inline Vec3 makeVec3(double x, double y, double z) { return Vec3{x, y, z}; }

inline Vec3 operator+(const Vec3& a, const Vec3& b) { return Vec3{a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return Vec3{a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(const Vec3& a, double s) { return Vec3{a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator*(double s, const Vec3& a) { return a * s; }

inline double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline Vec3 cross(const Vec3& a, const Vec3& b)
{
    return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline double squaredLength(const Vec3& a) { return dot(a, a); }

// a * sqrt(1 / |a|^2) as a new vector. A zero vector (or one whose squared
// length is not a positive finite number) has no direction: it comes back as
// the zero vector instead of a vector of NaNs, so that callers can test for it.
Vec3 normalize(const Vec3& a);

} // namespace engine3d
