{** Plane shapes for the drawing demo: a common base class and two concrete shapes.
    @see Geometry }
unit Shapes;

{$mode delphi}

interface

uses
  Classes, Geometry;

type
  {** Raised when a shape is given a size it cannot have. }
  EShapeError = class(Exception);

  TShape = class;

  {** Called after a shape has changed. }
  TShapeEvent = procedure(Sender: TShape) of object;

  {** The base of every shape. It knows its position and its name and can tell its area.
      @see TCircle }
  TShape = class(TPersistent)
  private
    FName: string;
    FOnChange: TShapeEvent;
    procedure SetName(const AValue: string);
  protected
    {** Tells the listeners that the shape has changed. }
    procedure Changed; virtual;
  public
    {** Horizontal position of the reference point. }
    X: Double;
    {** Vertical position of the reference point. }
    Y: Double;
    {** Creates a shape at the origin. }
    constructor Create; virtual;
    {** The area of the shape.
        @return the area in square units }
    function Area: Double; virtual; abstract;
    {** Moves the shape.
        @param DX distance to the right
        @param DY distance upwards }
    procedure MoveBy(DX, DY: Double);
    {** Old name of MoveBy. @deprecated }
    procedure Shift(DX, DY: Double);
    {** The name shown in lists. }
    property Name: string read FName write SetName;
    property OnChange: TShapeEvent read FOnChange write FOnChange;
  end;

  {** A circle given by its centre and its radius. }
  TCircle = class(TShape)
  private
    FRadius: Double;
    procedure SetRadius(AValue: Double);
  public
    constructor Create; override;
    {** Creates a circle of the given radius.
        @param ARadius the radius in units }
    constructor CreateSized(ARadius: Double);
    function Area: Double; override;
    {** The radius; setting a negative one raises EShapeError. }
    property Radius: Double read FRadius write SetRadius;
  end;

  {** An axis-parallel rectangle. }
  TRectangle = class(TShape)
  public
    Width, Height: Double;
    function Area: Double; override;
    {** Whether the rectangle is a square. }
    function IsSquare: Boolean;
  end;

{** Makes the shape that a name stands for: "circle" or "rectangle".
    @param AKind the kind of shape
    @return the new shape, owned by the caller }
function MakeShape(const AKind: string): TShape;

implementation

{ TShape }

constructor TShape.Create;
begin
  inherited Create;
  FName := ClassName;
end;

procedure TShape.SetName(const AValue: string);
begin
  if FName = AValue then Exit;
  FName := AValue;
  Changed;
end;

procedure TShape.Changed;
begin
  if Assigned(FOnChange) then FOnChange(Self);
end;

{** Moves the reference point and tells the listeners once. }
procedure TShape.MoveBy(DX, DY: Double);
begin
  X := X + DX;
  Y := Y + DY;
  Changed;
end;

procedure TShape.Shift(DX, DY: Double);
begin
  MoveBy(DX, DY);
end;

{ TCircle }

constructor TCircle.Create;
begin
  inherited Create;
  FRadius := 1;
end;

constructor TCircle.CreateSized(ARadius: Double);
begin
  Create;
  Radius := ARadius;
end;

{** Pi times the square of the radius. }
function TCircle.Area: Double;
begin
  Result := CircleArea(FRadius);
end;

procedure TCircle.SetRadius(AValue: Double);
begin
  if AValue < 0 then
    raise EShapeError.Create('negative radius');
  FRadius := AValue;
  Changed;
end;

{ TRectangle }

function TRectangle.Area: Double;
begin
  Result := Width * Height;
end;

function TRectangle.IsSquare: Boolean;
begin
  Result := SameValue(Width, Height);
end;

function MakeShape(const AKind: string): TShape;
begin
  if AKind = 'circle' then
    Result := TCircle.Create
  else
    Result := TRectangle.Create;
end;

end.
