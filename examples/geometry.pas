{** Formulas for areas and lengths, shared by the shapes.
    All lengths are in the same unit; angles are in radians. }
unit Geometry;

interface

const
  {** Twice pi, one full turn in radians. }
  TwoPi = 6.283185307179586;
  {** The largest number of corners a polygon may have. }
  MaxCorners = 64;
  DefaultName = 'shape';

type
  {** A point of the plane. }
  TPoint2D = record
    X, Y: Double;
  end;

{** The area of a circle.
    @param R the radius
    @return the area }
function CircleArea(R: Double): Double;

{** The distance between two points. }
function Distance(const A, B: TPoint2D): Double;

function Perimeter(const Corners: array of TPoint2D;
  Closed: Boolean): Double;

{** Converts degrees to radians. @deprecated use DegToRad of unit Math }
function Radians(Degrees: Double): Double;

procedure ResetCounters;

implementation

function CircleArea(R: Double): Double;
begin
  Result := Pi * R * R;
end;

function Distance(const A, B: TPoint2D): Double;
begin
  Result := Sqrt(Sqr(A.X - B.X) + Sqr(A.Y - B.Y));
end;

{** The sum of the distances between neighbouring corners; with Closed the last corner is
    joined to the first.
    @param Corners the corners in order
    @param Closed whether the path is closed
    @return the length of the path }
function Perimeter(const Corners: array of TPoint2D;
  Closed: Boolean): Double;
var
  I: Integer;
begin
  Result := 0;
  for I := 1 to High(Corners) do
    Result := Result + Distance(Corners[I - 1], Corners[I]);
  if Closed and (Length(Corners) > 1) then
    Result := Result + Distance(Corners[High(Corners)], Corners[0]);
end;

function Radians(Degrees: Double): Double;
begin
  Result := Degrees * TwoPi / 360;
end;

{** Sets the statistics of the demo back to zero. }
procedure ResetCounters;
begin
end;

end.
